// A message sink for tests: records every text reported through it, in order.
#pragma once

#include "report_message.h"

#include <string>
#include <vector>

class MessageRecorder {
  public:
    MessageRecorder() = default;
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    // A sink that appends to this recorder; valid while the recorder lives.
    MessageSink Sink() { return {Record, &messages_}; }
    const std::vector<std::string>& Messages() const { return messages_; }

  private:
    static void Record(void* context, const char* text) {
        static_cast<std::vector<std::string>*>(context)->emplace_back(text);
    }
    std::vector<std::string> messages_;
};

// An expected message with every "%s" standing for the file's path (a failure names the
// file on its first line or the one after, or both).
inline std::string WithPath(std::string message, const std::string& path) {
    for (std::size_t at = message.find("%s"); at != std::string::npos;
         at = message.find("%s", at + path.size())) {
        message.replace(at, 2, path);
    }
    return message;
}
