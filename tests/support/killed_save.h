#pragma once

#include <functional>
#include <string>

namespace testing_support {

// The moments of a file's replace at which a save is killed.
enum class KillAt {
    TemporaryCreated,  // as its temporary file is made: nothing written yet
    TemporaryWritten,  // as its first bytes go into the temporary file (of a save that holds
                       // no other file open then)
    Replace,           // at the rename that puts the temporary in the file's place
    AfterSave,         // once the save has returned
};

const char* KillAtName(KillAt at);

struct SaveRun {
    enum class End { Killed, Returned, Trouble } end = End::Trouble;
    std::string trouble;  // what went wrong when it is Trouble
};

// Runs save in a forked child that is killed with SIGKILL at the given moment of the nth
// replace it makes (a system-call filter stops it there; the moments before pass). Returned
// when the save made fewer and returned.
SaveRun RunKilledSave(KillAt at, const std::function<void()>& save, int nth = 1);

// For every moment of every replace the save makes, in turn: prepare, then the save in a child
// killed there, then check with whether the save had made its whole work before (the last run
// of each moment, when no further replace came, and the kill after the save). A run that could
// not be made, or a moment the save never comes to, fails the test.
void KillAtEveryMoment(const std::function<void()>& prepare, const std::function<void()>& save,
                       const std::function<void(const std::string& moment, bool saved)>& check);

}  // namespace testing_support
