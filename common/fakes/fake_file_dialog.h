#pragma once
// The open-file dialog for tests: records every request and answers with the next
// scripted choice, as if the user cancelled when none is left.
#include <deque>
#include <vector>

#include "common/ports/file_dialog.h"

namespace vantora::testing {

class FakeFileDialog : public FileDialogPort {
public:
    std::optional<OpenFileChoice> showOpen(const OpenFileRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void choose(OpenFileChoice choice) { answers.emplace_back(std::move(choice)); }
    void cancelNext() { answers.emplace_back(std::nullopt); }

    std::vector<OpenFileRequest> requests;
    std::deque<std::optional<OpenFileChoice>> answers;
};

}  // namespace vantora::testing
