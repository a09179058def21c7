// Writes the window's description as JSON to standard output. Built for
// node and run while the page is built, so that the page carries the
// description and can draw the window before its module is compiled.
#include <cstdio>

#include "description_json.h"
#include "zelvane_config.h"

// One line: the runtime's standard output writes whole lines.
int main() { return std::puts(zelvane::web::DescriptionJson(ZELVANE_PUBLISHER_URL).c_str()) < 0; }
