// A JACK server of the test's own: jackd with the dummy driver under a name that no other process
// uses while the object lives, made the default server of the process (JACK_DEFAULT_SERVER), and
// stopped by its process id when the object goes. The dummy driver runs in real time without any
// sound card. Every client of the server must be closed before the object goes.
#pragma once

#include <sys/types.h>

#include <string>

class JackServer {
public:
  // On time: a cycle starts on time even while a client is still busy with the last one, as on a
  // sound card. Waiting: a cycle ends only when every client has finished it, so a late client
  // is late and loses nothing, while the server falls behind real time.
  enum class Cycles { kOnTime, kWaiting };

  JackServer(unsigned period, unsigned rate, Cycles cycles = Cycles::kOnTime);
  ~JackServer();
  JackServer(const JackServer&) = delete;
  JackServer& operator=(const JackServer&) = delete;

  // True once the server accepts clients; false when it did not start within its time.
  bool Ready() const { return ready; }
  const std::string& Name() const { return name; }

private:
  static constexpr int kSlots = 4;
  bool TakeName();
  void Stop();

  std::string name;
  pid_t pid = -1;
  bool ready = false;
  int lockFd = -1;
};
