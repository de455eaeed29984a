#include "shelltree/shell_folder_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "fake_shell.h"

namespace tarvo {
namespace {

// The logic over a fake desktop holding Bin, D: and C: with Work/src/{core,ui},
// Work/docs, Users/Ann, a hidden Secret and a file. Dumps read as Tree::Dump says.
class ShellFolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override { logic->Init(tree); }
    // Every identifier list handed out is freed exactly once, and nothing stays registered.
    void TearDown() override {
        logic.reset();
        EXPECT_EQ(std::tuple(shell.live.size(), shell.registrations, tree.listener), std::tuple(0u, 0, nullptr))
            << "lists, registrations, listener";
    }
    // The node holding the list of a path; 0 when none.
    NodeHandle Node(const std::string& path) {
        const auto found = std::ranges::find_if(
            tree.nodes, [&](auto& n) { return n.second.data && shell.PathOf(n.second.data) == path; });
        return found == tree.nodes.end() ? 0 : found->first;
    }
    std::string Kids(const std::string& path, bool draw = false) { return tree.Dump(draw, Node(path)); }
    // Sends a notification the way the shell does: pointers to lists it owns.
    void Notify(long event, const std::string& path1, const std::string& path2 = "") {
        logic->ShellNotify(event, ScopedIdList(shell, shell.List(path1)).get(),
                           ScopedIdList(shell, path2.empty() ? nullptr : shell.List(path2)).get());
    }

    fake::Shell shell{"C:/Work/src/core C:/Work/src/ui C:/Work/docs C:/Users/Ann C:/Secret~ C:/file.txt D: Bin"};
    fake::Tree tree;
    std::unique_ptr<ShellFolderTree> logic = std::make_unique<ShellFolderTree>(shell, shell);
};

// A path opens only the way to its folder; the expand button and the icons are asked
// of the shell only when a node is first drawn.
TEST_F(ShellFolderTreeTest, ARootLoadsOneLevelAPathOpensItsWayAndButtonsAndIconsComeOnDemand) {
    logic->RootNodeCSIDLSet(0);
    EXPECT_TRUE(tree.imageList == 0x5150u && logic->Notifying());
    // Paths that do not parse change nothing; a bare drive is its root; Work folds up when Secret is chosen;
    // a file opens its folder only, Ann stays chosen.
    for (const wchar_t* path : {L"", L"Q:\\Nowhere", L"C:\\Work\\nowhere", L"C:", L"C:\\Work\\src\\ui", L"C:\\Secret",
                                L"C:\\Users\\Ann", L"C:\\file.txt"})
        logic->FullPathSet(path);
    EXPECT_EQ(tree.Dump(), "Desktop+(Bin? C:+#-1/11(Secret~?#-1/11 Users+[Ann*?#-1/11] Work+[docs? src+(core? ui?#-1/11)]) D:?)");
    // Redraw is off once while clearing, loading the root and each whole walk; never for a path that does not parse.
    EXPECT_EQ(std::tuple(tree.ensuredVisible, tree.redraw, tree.waitCursor, tree.redrawOffs), std::tuple(true, true, false, 7));
    EXPECT_EQ(logic->FullPathGet(tree.selected) + logic->FullPathGet(0), L"C:\\Users\\Ann");

    shell.queries = 0;
    shell.Change("C:/Big/sub/x C:/Big/empty C:/Big/files/only.txt C:/Big/odd");
    shell.folders["C:/Big/odd"] = fake::Folder{false, false, 7, 3};  // 3: the default icon
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Big\\odd");  // its open icon is the default one: the closed one shows
    EXPECT_EQ(shell.queries, 5);  // the desktop, C: and Big as they expanded, and odd's two icons
    EXPECT_EQ(tree.Dump(true), "Desktop+(Bin C:+(Big+(empty files odd*#7/7 sub+) Secret~ Users+ Work+) D:)");
    shell.claimsSubFolders = true;  // the shell's bit alone no longer decides
    Notify(kEventUpdateDir, "C:/Big");  // reloaded children are on demand again
    EXPECT_EQ(Kids("C:/Big"), "empty? files? odd? sub?");
    EXPECT_EQ(Kids("C:/Big", true), "empty files odd#7/7 sub+");
}

// Notices of every kind change only the loaded tree, and a repeated one acts once;
// renames keep the node, moves change its parent; a second root leaves nothing of the first.
TEST_F(ShellFolderTreeTest, NoticesRenamesAndASecondRoot) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\docs");
    const long kinds[][2] = {
        {kEventMkdir, kEventRmdir}, {kEventMediaInserted, kEventMediaRemoved}, {kEventDriveAdd, kEventDriveRemoved}};
    shell.Change("C:/Work/a8/x C:/Work/a32/x C:/Work/a256/x");
    for (auto& [added, removed] : kinds) Notify(added, "C:/Work/a" + std::to_string(added));
    EXPECT_EQ(Kids("C:/Work", true), "docs*#10/11 src+ a8+ a32+ a256+");
    shell.Change("-C:/Work/a8 -C:/Work/a32 -C:/Work/a256 -C:/Work/docs");
    for (auto& [added, removed] : kinds) Notify(removed, "C:/Work/a" + std::to_string(added));
    Notify(kEventRmdir, "C:/Work/docs");  // the selected one
    logic->FullPathSet(L"C:\\Users\\Ann");
    Kids("C:/Users", true);  // Ann is drawn without a button
    shell.Change("C:/Users/Ann/Music D:/Deep/New");
    // Under an unloaded folder only its button comes; under one not shown nothing; attribute changes change nothing.
    for (auto [event, path] :
         {std::pair{kEventMkdir, "C:/Users/Ann/Music"}, {kEventMkdir, "D:/Deep/New"}, {kEventAttributes, "C:/Users"}})
        Notify(event, path);
    EXPECT_EQ(Kids(""), "Bin? C:+(Secret~? Users+(Ann*+#10/11) Work+[src+]) D:?");

    shell.Change("C:/Work/twice");
    ScopedIdList twice(shell, shell.List("C:/Work/twice")), again(shell, shell.List("C:/Work/twice"));
    for (IdList list : {twice.get(), twice.get(), again.get()}) logic->ShellNotify(kEventMkdir, list, nullptr);
    shell.Change("-C:/Work/twice");
    logic->ShellNotify(kEventRmdir, again.get(), nullptr);  // the same list, another kind: new as well
    EXPECT_EQ(Kids("C:/Work"), "src+ twice?");  // the same message twice was acted on once, an equal new one again
    // The same list and kind with another second list is new as well: the node moves, and a second one comes.
    for (const char* to : {"D:/t1", "D:/t2"})
        logic->ShellNotify(kEventRenameFolder, again.get(), ScopedIdList(shell, shell.List(to)).get());
    Notify(kEventUpdateDir, "C:/Work");
    EXPECT_EQ(Kids(""), "Bin? C:+(Secret~? Users+(Ann*+#10/11) Work+(src?)) D:?[t1? t2?]");

    tree.ExpandNode(Node("C:/Users/Ann"));
    shell.Change("-C:/Users/Ann");
    Notify(kEventRmdir, "C:/Users/Ann");  // the last sub-folder: its parent folds up without a button
    EXPECT_EQ(Kids("C:"), "Secret~? Users Work+(src?)");

    shell.Change("C:/Users/Ann C:/Work/docs");
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\src");
    tree.ExpandNode(tree.selected);
    shell.Change("-C:/Work/src C:/Work/s/core");  // a one-character name
    Notify(kEventRenameFolder, "C:/Work/src", "C:/Work/s");
    EXPECT_EQ(Kids("C:/Work"), "docs? s*+#-1/11(core? ui?)");
    logic->FullPathSet(L"C:\\Users\\Ann");
    shell.Change("-C:/Work/s -C:/Work/docs C:/Users/s D:/docs");
    Notify(kEventRenameFolder, "C:/Work/s", "C:/Users/s");
    Notify(kEventRenameFolder, "C:/Work/docs", "D:/docs");  // into a folder shown but never opened: added there all the same
    EXPECT_EQ(Kids(""), "Bin? C:+(Secret~? Users+(Ann*?#-1/11 s?) Work+) D:?[docs?]");

    Notify(kEventAttributes, "C:/Work");  // leaves remembered clones behind
    logic->RootNodeCSIDLSet(5);
    EXPECT_EQ(tree.Dump(), "Users+(Ann? s?)");
    // A list for each of the three nodes and the two held above, nothing else; one registration.
    EXPECT_EQ(shell.live.size() * 10 + shell.registrations, 51u);
    logic->NotifyWindowDestroyed();
    EXPECT_FALSE(logic->Notifying() || shell.registrations);
    logic->RootNodeCSIDLSet(99);  // unknown: an empty tree that ignores paths and notifications
    logic->FullPathSet(L"C:\\Work");
    Notify(kEventMkdir, "C:/Work/x");
    EXPECT_EQ(tree.nodes.size(), 1u);
}

}  // namespace
}  // namespace tarvo
