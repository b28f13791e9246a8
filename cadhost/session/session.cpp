#include "cadhost/session/session.h"

namespace cadhost {

Session& Session::instance() {
    static Session session;
    return session;
}

void Session::set_display_part(std::unique_ptr<Part> part) { part_ = std::move(part); }

std::unique_ptr<Part> Session::take_display_part() { return std::move(part_); }

bool Session::close() {
    if (open_count_ == 0) return false;
    --open_count_;
    return true;
}

uf_list_p_t Session::new_list() {
    auto* list = new UF_MODL_list_s;
    lists_.insert(list);
    return list;
}

void Session::delete_list(uf_list_p_t list) {
    if (lists_.erase(list)) delete list;
}

}  // namespace cadhost
