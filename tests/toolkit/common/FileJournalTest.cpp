// The journal of an action's file changes: what an action cut short leaves is undone whole, or
// finished when it got to its end, and a journal cut mid-line or hostile does no harm.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/TestFiles.h"
#include "toolkit/common/TkAtomicFile.h"
#include "toolkit/common/TkFileJournal.h"

namespace fs = std::filesystem;

namespace {

// The folder's files (hidden ones too) and their texts.
std::map<std::string, std::string> contents(const ScratchDir& dir) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::directory_iterator(dir.path()))
        if (e.is_regular_file()) out[e.path().filename().string()] = readFileText(e.path().string());
    return out;
}

// An action over three files: one replaced, one made, one removed (and one written twice).
void act(const ScratchDir& dir) {
    EXPECT_EQ(tkWriteFileAtomically(dir.file("a.dwg"), "a2"), "");
    EXPECT_EQ(tkWriteFileAtomically(dir.file("a.dwg"), "a3"), "");
    EXPECT_EQ(tkWriteFileAtomically(dir.file("new.dwg"), "n1"), "");
    EXPECT_EQ(tkRemoveFile(dir.file("b.dwg")), "");
    EXPECT_EQ(tkWriteFileAtomically(dir.file("set.dst"), "s2"), "");
}

void seed(const ScratchDir& dir) {
    writeFileText(dir.file("a.dwg"), "a1");
    writeFileText(dir.file("b.dwg"), "b1");
    writeFileText(dir.file("set.dst"), "s1");
}

}  // namespace

TEST(FileJournal, AnActionIsUndoneWholeOrFinishedAndLeavesNothingBehind) {
    ScratchDir dir;
    seed(dir);
    const auto before = contents(dir);
    const std::string path = dir.file("set.dst.journal");

    // Rolled back in the process: every file as it was, no copy and no journal left.
    {
        TkFileJournal journal(path);
        journal.noteOnlyWithOthers(dir.file("set.dst"));
        TkFileJournal::Scope active(journal);
        act(dir);
        EXPECT_EQ(journal.fileCount(), 4u);  // a, new, b and the set: each once
        EXPECT_TRUE(journal.rollBack().empty());
    }
    EXPECT_EQ(contents(dir), before);

    // Left behind by a killed process: while it lives nobody recovers under it; once it is gone,
    // recovery undoes its action, and a file someone changed after it keeps their change.
    {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            auto* journal = new TkFileJournal(path);
            TkFileJournal::Scope active(*journal);
            act(dir);
            char c = 'x';
            ssize_t n = ::write(ready[1], &c, 1);
            for (;;) ::pause();  // at work until killed
            ::_exit(static_cast<int>(n));
        }
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        std::vector<std::string> problems;
        EXPECT_TRUE(TkFileJournal::inspect(path).running);
        EXPECT_NE(TkFileJournal::recover(path, problems), "");
        EXPECT_EQ(problems.size(), 1u);  // still at work: left alone
        EXPECT_EQ(readFileText(dir.file("a.dwg")), "a3");
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(ready[0]);
        ::close(ready[1]);

        const TkFileJournal::Found found = TkFileJournal::inspect(path);
        EXPECT_TRUE(found.exists);
        EXPECT_FALSE(found.running);
        EXPECT_FALSE(found.committed);
        EXPECT_EQ(found.files.size(), 4u);
        writeFileText(dir.file("new.dwg"), "a colleague's since");
        // The project folder is moved before anyone recovers: the journal still finds its files.
        const fs::path moved = dir.path().string() + "-moved";
        fs::rename(dir.path(), moved);
        problems.clear();
        EXPECT_NE(TkFileJournal::recover((moved / "set.dst.journal").string(), problems).find("undone"), std::string::npos);
        fs::rename(moved, dir.path());
        EXPECT_TRUE(problems.empty());
        auto expected = before;
        expected["new.dwg"] = "a colleague's since";  // not what the action made: it stays
        EXPECT_EQ(contents(dir), expected);
        EXPECT_EQ(TkFileJournal::recover(path, problems), "");  // nothing more to do
        fs::remove(dir.file("new.dwg"));
    }
    EXPECT_EQ(contents(dir), before);

    // Committed: the kept copies and the journal go, the new files stay.
    {
        TkFileJournal journal(path);
        TkFileJournal::Scope active(journal);
        act(dir);
        EXPECT_EQ(journal.commit(), "");
    }
    EXPECT_EQ(contents(dir), (std::map<std::string, std::string>{{"a.dwg", "a3"}, {"new.dwg", "n1"}, {"set.dst", "s2"}}));
}

TEST(FileJournal, AFailedWriteIsNotedAndACutOrHostileJournalIsHandled) {
    ScratchDir dir;
    seed(dir);
    const std::string path = dir.file("set.dst.journal");
    {
        TkFileJournal journal(path);
        journal.noteOnlyWithOthers(dir.file("set.dst"));
        TkFileJournal::Scope active(journal);
        // The set's save alone needs no journal.
        EXPECT_EQ(tkWriteFileAtomically(dir.file("set.dst"), "s2"), "");
        EXPECT_FALSE(journal.started());
        EXPECT_FALSE(fs::exists(path));
        tkArmWriteFault(2);
        EXPECT_EQ(tkWriteFileAtomically(dir.file("a.dwg"), "a2"), "");
        EXPECT_NE(tkWriteFileAtomically(dir.file("b.dwg"), "b2"), "");
        EXPECT_NE(journal.failure().find("b.dwg"), std::string::npos);
        EXPECT_TRUE(journal.rollBack().empty());
    }
    EXPECT_EQ(readFileText(dir.file("a.dwg")), "a1");
    EXPECT_EQ(readFileText(dir.file("b.dwg")), "b1");

    // The last line cut short by the crash was never acted on; a named copy that is missing means
    // the file was never changed; a new file goes only while it is what the action made (its
    // name escaped in the journal).
    writeFileText(dir.file("c\n.dwg"), "made");
    const TkFileIdentity made = TkFileIdentity::ofPath(dir.file("c\n.dwg"));
    writeFileText(path, "VORN-JOURNAL 2\nW\ta.dwg\t.a.dwg.99-1.undo\nW\tc%0A.dwg\t\nI\tc%0A.dwg\t" + std::to_string(made.device) + ":" +
                            std::to_string(made.inode) + ":" + std::to_string(made.size) + ":" + std::to_string(made.mtimeNs) + "\nW\tb.d");
    std::vector<std::string> problems;
    EXPECT_NE(TkFileJournal::recover(path, problems), "");
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(readFileText(dir.file("a.dwg")), "a1");
    EXPECT_FALSE(fs::exists(dir.file("c\n.dwg")));
    EXPECT_FALSE(fs::exists(path));

    // Damage in the middle, another program's file, or a journal planted to remove or replace files
    // that are no drawings of this kind, or from a copy elsewhere: said, and nothing is touched.
    fs::create_directories(dir.file("project"));
    writeFileText(dir.file("project/a.dwg"), "a1");
    writeFileText(dir.file("project/notes.txt"), "mine");
    writeFileText(dir.file("project/.a.dwg.1-1.undo"), "planted");
    fs::create_directories(dir.file("elsewhere"));
    writeFileText(dir.file("elsewhere/other.dwg"), "theirs");
    fs::create_symlink(dir.file("elsewhere"), dir.file("project/link"));
    const std::string project = dir.file("project/set.dst.journal");
    for (const std::string& text : {std::string("VORN-JOURNAL 2\nX\tnonsense\nW\ta.dwg\t\n"), std::string("hello\n"),
                                    std::string("VORN-JOURNAL 2\nW\tnotes.txt\t\n"), std::string("VORN-JOURNAL 2\nW\t../elsewhere/other.dwg\t\n"),
                                    "VORN-JOURNAL 2\nW\t" + dir.file("elsewhere/other.dwg") + "\t\n", std::string("VORN-JOURNAL 2\nW\tlink/other.dwg\t\n"),
                                    std::string("VORN-JOURNAL 2\nD\ta.dwg\t../.a.dwg.1-1.undo\n"),
                                    std::string("VORN-JOURNAL 2\nD\ta.dwg\t/tmp/.a.dwg.1-1.undo\n")}) {
        writeFileText(project, text);
        problems.clear();
        TkFileJournal::recover(project, problems);
        EXPECT_EQ(problems.size(), 1u) << text;
        EXPECT_EQ(readFileText(dir.file("project/a.dwg")), "a1");
        EXPECT_EQ(readFileText(dir.file("project/notes.txt")), "mine");
        EXPECT_EQ(readFileText(dir.file("elsewhere/other.dwg")), "theirs");
        EXPECT_FALSE(TkFileJournal::inspect(project).error.empty());
    }
}
