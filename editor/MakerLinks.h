// The maker's addresses that the editor shows and opens.
#pragma once

// The support button's label; its mail link is kSupportMailUrl.
constexpr const char* kSupportMailAddress = "support@keldarine.example";
constexpr const char* kSupportMailUrl = "mailto:support@keldarine.example";
// The maker's web page, opened by the brand mark.
constexpr const char* kMakerWebPage = "https://keldarine.example/";
