#include "server/query_answers.h"

#include "common/line_protocol.h"

namespace sonhall {

void QueryAnswers::Publish(Texts texts) {
    std::lock_guard lock(mutex_);
    texts_ = std::move(texts);
}

QueryAnswers::Answer QueryAnswers::For(std::string_view line) const {
    if (line.empty())
        return {true, {}};  // nothing to classify
    if (line.front() == '#') {
        const std::string code = kv::CommandCode(line);
        std::lock_guard lock(mutex_);
        if (texts_.rescanning)
            return {true, texts_.rescanProgress};
        if (code == "PLY")
            return {true, texts_.playStatus};
        if (code == "INI")
            return {true, texts_.serverInfo};
        return {};
    }
    if (line.front() == '@') {
        if (kv::QueryTarget(line) != "CLIENTS")
            return {true, {}};
        std::lock_guard lock(mutex_);
        return {true, texts_.clientList};
    }
    return {};  // chat
}

}  // namespace sonhall
