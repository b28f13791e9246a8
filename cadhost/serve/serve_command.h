// quillon serve: the designer's window, a page in the browser on the part files of one folder.
#ifndef CADHOST_SERVE_SERVE_COMMAND_H
#define CADHOST_SERVE_SERVE_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::serve {

// args: "serve" and any of --root DIR, --port N, --open, --listen ADDR, --command LIBRARY, --conf DIR,
// --max-upload MB. Serves until interrupted; exit status 0 then, 2 for bad usage or a port that cannot be bound.
int serve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cadhost::serve

#endif
