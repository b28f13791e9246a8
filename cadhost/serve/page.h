// The page of `quillon serve`: one HTML file with its style and script, the server's token in it.
#ifndef CADHOST_SERVE_PAGE_H
#define CADHOST_SERVE_PAGE_H

#include <string>

namespace cadhost::serve {

std::string page_html(const std::string& token);

}  // namespace cadhost::serve

#endif
