// Writes the window's description as JSON (no argument) or the window as
// HTML markup ("html") to standard output. Built for node and run while the
// page is built, so that the page carries both: the browser draws the
// window as soon as it reads it, before the module is compiled.
#include <cstdio>
#include <cstring>

#include "description_json.h"
#include "window_html.h"
#include "zelvane_config.h"

// One line at least: the runtime's standard output writes whole lines.
int main(int argc, char** argv) {
    const bool html = argc > 1 && std::strcmp(argv[1], "html") == 0;
    const std::string text = html ? zelvane::web::WindowHtml() : zelvane::web::DescriptionJson(ZELVANE_PUBLISHER_URL);
    return std::puts(text.c_str()) < 0;
}
