// The host's process-wide state: the displayed part, the open count of the host interface, the model lists handed
// out, and the user-interface channels.
#ifndef CADHOST_SESSION_SESSION_H
#define CADHOST_SESSION_SESSION_H

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "cadhost/document/document.h"
#include "cadhost/session/ui_channels.h"
#include "host/uf_modl.h"

struct UF_MODL_list_s {
    std::vector<tag_t> items;
};

namespace cadhost {

// A part as the host holds it: the document, the state at the last visible undo mark, and the file it came from.
struct Part {
    Document document;
    std::optional<Document> undo_mark;
    std::string path;
};

class Session {
public:
    static Session& instance();

    Part* display_part() { return part_.get(); }
    void set_display_part(std::unique_ptr<Part> part);
    std::unique_ptr<Part> take_display_part();

    int open_count() const { return open_count_; }
    void open() { ++open_count_; }
    bool close();

    UiChannels& ui() { return ui_; }

    uf_list_p_t new_list();
    bool owns_list(uf_list_p_t list) const { return lists_.count(list) != 0; }
    void delete_list(uf_list_p_t list);

private:
    Session() = default;
    std::unique_ptr<Part> part_;
    int open_count_ = 0;
    UiChannels ui_;
    std::set<uf_list_p_t> lists_;
};

}  // namespace cadhost

#endif
