#pragma once
// drawkit's commands beyond info and roundtrip.
#include <string>
#include <vector>

// drawkit objects FILE: the named objects dictionary as a JSON tree, with xrecord value chains.
int drawkitObjects(const std::string& path);
// drawkit edit IN OUT [--rename OLD NEW] [--delete NAME] [--current NAME] [--version CODE]
int drawkitEdit(const std::vector<std::string>& args);
// drawkit thumb FILE OUT.png [LAYOUT] [WIDTHxHEIGHT]: a layout rendered to an image.
int drawkitThumb(const std::vector<std::string>& args);
