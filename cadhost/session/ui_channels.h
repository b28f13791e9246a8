// Where the host's messages, listing window and status line go: the terminal and, once a part is open, files beside it.
// Everything written is also kept in memory so that tests can read it back.
#ifndef CADHOST_SESSION_UI_CHANNELS_H
#define CADHOST_SESSION_UI_CHANNELS_H

#include <cstddef>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace cadhost {

class UiChannels {
  public:
    UiChannels();

    // The terminal; null silences it (tests).
    void set_terminal(std::ostream* terminal) { terminal_ = terminal; }
    std::ostream* terminal() const { return terminal_; }
    // Told of every message, status line, warning and listing text as it is shown (kind: "message", "status",
    // "warning", "listing"); none when empty.
    using Observer = std::function<void(const char* kind, const std::string& text)>;
    void set_observer(Observer observer) { observer_ = std::move(observer); }
    // The run log ("PART.log") and listing file ("PART.lst") beside the part; empty paths write no files.
    void set_files(const std::string& log_path, const std::string& listing_path);

    void message(const std::string& text);
    void status(const std::string& text);
    // Something the host could not do that leaves the command's work incomplete: "warning: TEXT" on the terminal and
    // in the log.
    void warning(const std::string& text);
    void open_listing();
    void write_listing(const std::string& text);
    void close_listing();
    // A prompt and the answer it got, for the run log; echo also shows them on the terminal (batch answers, which
    // nobody typed there).
    void prompt(const std::string& cue, const std::string& answer, bool echo);

    const std::vector<std::string>& messages() const { return messages_; }
    const std::string& listing() const { return listing_; }
    const std::string& last_status() const { return status_; }
    // The cues of the prompts asked, in order.
    const std::vector<std::string>& prompts() const { return prompts_; }
    // The status line as it was when message i was shown.
    const std::string& status_at_message(std::size_t i) const { return status_at_message_.at(i); }
    // How many messages had been shown when the status line last changed.
    std::size_t messages_at_last_status() const { return messages_at_last_status_; }
    // Forgets what was kept in memory (between runs in one process).
    void clear();

  private:
    void log(const std::string& line);

    std::ostream* terminal_;
    Observer observer_;
    std::string log_path_;
    std::string listing_path_;
    std::ofstream listing_file_;
    bool listing_open_ = false;
    std::vector<std::string> messages_;
    std::vector<std::string> prompts_;
    std::vector<std::string> status_at_message_;
    std::size_t messages_at_last_status_ = 0;
    std::string listing_;
    std::string status_;
};

}  // namespace cadhost

#endif
