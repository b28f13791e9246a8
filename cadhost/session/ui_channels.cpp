#include "cadhost/session/ui_channels.h"

#include <iostream>

namespace cadhost {

UiChannels::UiChannels() : terminal_(&std::cout) {}

void UiChannels::set_files(const std::string& log_path, const std::string& listing_path) {
    close_listing();
    log_path_ = log_path;
    listing_path_ = listing_path;
}

void UiChannels::log(const std::string& line) {
    if (log_path_.empty()) return;
    std::ofstream out(log_path_, std::ios::app);
    out << line << '\n';
}

void UiChannels::message(const std::string& text) {
    messages_.push_back(text);
    status_at_message_.push_back(status_);
    if (observer_) observer_("message", text);
    if (terminal_) *terminal_ << text << std::endl;
    log("message: " + text);
}

void UiChannels::status(const std::string& text) {
    status_ = text;
    messages_at_last_status_ = messages_.size();
    if (observer_) observer_("status", text);
    // An empty text clears the line: there is nothing to show.
    if (text.empty()) return;
    if (terminal_) *terminal_ << "status: " << text << std::endl;
    log("status: " + text);
}

void UiChannels::warning(const std::string& text) {
    if (observer_) observer_("warning", text);
    if (terminal_) *terminal_ << "warning: " << text << std::endl;
    log("warning: " + text);
}

void UiChannels::prompt(const std::string& cue, const std::string& answer, bool echo) {
    prompts_.push_back(cue);
    if (echo && terminal_) *terminal_ << cue << "\n  -> " << answer << std::endl;
    log("prompt: " + cue + " -> " + answer);
}

void UiChannels::open_listing() {
    if (listing_open_) return;
    listing_open_ = true;
    if (!listing_path_.empty()) listing_file_.open(listing_path_, std::ios::app);
}

void UiChannels::write_listing(const std::string& text) {
    // Writing to a closed window opens it, as a user would expect the text not to be lost.
    open_listing();
    listing_ += text;
    if (observer_) observer_("listing", text);
    if (listing_file_.is_open()) listing_file_ << text << std::flush;
    if (terminal_) *terminal_ << text << std::flush;
}

void UiChannels::close_listing() {
    if (listing_file_.is_open()) listing_file_.close();
    listing_open_ = false;
}

void UiChannels::clear() {
    messages_.clear();
    prompts_.clear();
    status_at_message_.clear();
    messages_at_last_status_ = 0;
    listing_.clear();
    status_.clear();
}

}  // namespace cadhost
