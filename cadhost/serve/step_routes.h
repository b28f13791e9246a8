// Long steps the page follows as they go: an export of the sheets or a check started, its lines ("sheet 3 of 8",
// "checked 12 of 800 bodies") polled as events for the page's progress bar, and a step or a run cancelled.
#ifndef CADHOST_SERVE_STEP_ROUTES_H
#define CADHOST_SERVE_STEP_ROUTES_H

#include "cadhost/serve/serve_context.h"

namespace httplib {
class Server;
}

namespace cadhost::serve {

void add_step_routes(httplib::Server& server, ServeContext& context);

}  // namespace cadhost::serve

#endif
