# Writes OUTPUT: one byte array per file of FILES and the lookup by file name (cmake -P script).
set(body "// Generated at build time from the embedded resource files.\n#include <cstddef>\n#include <cstring>\n\nnamespace {\n")
set(table "")
set(index 0)
foreach(file IN LISTS FILES)
  get_filename_component(name ${file} NAME)
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
  string(APPEND body "const unsigned char data${index}[] = {\n${bytes}};\n")
  string(APPEND table "    {\"${name}\", data${index}, ${size}},\n")
  math(EXPR index "${index} + 1")
endforeach()
string(APPEND body "
struct Entry {
  const char* name;
  const unsigned char* data;
  std::size_t size;
};
const Entry entries[] = {
${table}};

} // namespace

// false when no resource has that file name.
bool FindEmbeddedResource(const char* name, const unsigned char*& data, std::size_t& size) {
  for (const Entry& e : entries)
    if (std::strcmp(e.name, name) == 0) {
      data = e.data;
      size = e.size;
      return true;
    }
  return false;
}
")
file(WRITE ${OUTPUT}.tmp "${body}")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
