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
