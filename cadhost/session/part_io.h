// Opening a part file as the displayed part and saving it back, with the run log and listing file beside it.
#ifndef CADHOST_SESSION_PART_IO_H
#define CADHOST_SESSION_PART_IO_H

#include <string>

namespace cadhost {

bool open_display_part(const std::string& path, std::string& error);
bool save_display_part(std::string& error);
void close_display_part();

}  // namespace cadhost

#endif
