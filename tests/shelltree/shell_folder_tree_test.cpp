#include "shelltree/shell_folder_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "fake_shell.h"

namespace tarvo {
namespace {

// The logic over a fake desktop holding Bin, D: and C: with Work/src/{core,ui},
// Work/docs, Users/Ann, a hidden Secret and a file. Dumps are read as Tree::Dump says.
class ShellFolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override { logic->Init(tree); }
    // Every identifier list handed out is freed exactly once, and nothing stays registered.
    void TearDown() override {
        logic.reset();
        EXPECT_EQ(shell.LiveLists(), 0u) << "identifier lists leaked";
        EXPECT_EQ(shell.registrations, 0);
        EXPECT_EQ(tree.listener, nullptr);
    }
    // The node at a slash path of display names below the root; 0 when none.
    NodeHandle Node(const std::string& path) {
        NodeHandle node = logic->RootNode();
        std::istringstream names(path);
        for (std::string name; node && std::getline(names, name, '/');) {
            for (node = tree.FirstChild(node); node && tree.at(node).text != std::wstring(name.begin(), name.end());) {
                node = tree.NextSibling(node);
            }
        }
        return node;
    }
    std::string Kids(const std::string& path, bool draw = false) { return tree.Dump(draw, Node(path)); }
    void ShowPath(const std::wstring& path) {
        logic->RootNodeCSIDLSet(0);
        logic->FullPathSet(path);
    }
    // Sends a notification the way the shell does: pointers to lists it owns.
    void Notify(long event, const std::string& path1, const std::string& path2 = "") {
        ScopedIdList item1(shell, shell.List(path1)), item2(shell, path2.empty() ? nullptr : shell.List(path2));
        logic->ShellNotify(event, item1.get(), item2.get());
    }

    fake::Shell shell{"C:/Work/src/core C:/Work/src/ui C:/Work/docs C:/Users/Ann C:/Secret~ C:/file.txt D: Bin"};
    fake::Tree tree;
    std::unique_ptr<ShellFolderTree> logic = std::make_unique<ShellFolderTree>(shell, shell);
};

TEST_F(ShellFolderTreeTest, ARootLoadsOneLevelAndAPathOpensOnlyTheWayToItsFolder) {
    shell.folders["C:/Users"].enumFails = true;
    logic->RootNodeCSIDLSet(0);
    EXPECT_EQ(tree.imageList, 0x5150u);
    EXPECT_TRUE(logic->Notifying());
    const int redrawOffs = tree.redrawOffs;
    for (const wchar_t* nothing : {L"", L"Q:\\Nowhere", L"C:\\Work\\nowhere"}) logic->FullPathSet(nothing);
    EXPECT_EQ(tree.Dump(), "Desktop+(Bin? C:? D:?)");
    EXPECT_EQ(tree.redrawOffs, redrawOffs);
    logic->FullPathSet(L"C:");  // a bare drive is its root
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\");
    logic->FullPathSet(L"C:\\Work\\src\\ui");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work\\src\\ui");
    logic->FullPathSet(L"C:\\Secret");      // the sibling branch folds up
    logic->FullPathSet(L"C:\\Users\\Ann");  // its enumeration fails: no button, nothing added
    logic->FullPathSet(L"C:\\file.txt");    // a file: its folder opens, the selection stays
    EXPECT_EQ(tree.Dump(), "Desktop+(Bin? C:+#-1/11(Secret~*?#-1/11 Users Work+[docs? src+(core? ui?#-1/11)]) D:?)");
    EXPECT_TRUE(tree.ensuredVisible && tree.redraw && !tree.waitCursor);
    EXPECT_EQ(tree.redrawOffs, redrawOffs + 5);  // once for each whole walk
    EXPECT_EQ(logic->FullPathGet(0), L"");
}

// The expand button and the icons are asked of the shell only when a node is first drawn.
TEST_F(ShellFolderTreeTest, ButtonsAndIconsComeOnDemandAndFromTheNodesOwnFolder) {
    for (const char* path : {"C:/Big/sub/x", "C:/Big/empty", "C:/Big/files/only.txt", "C:/Work/docs/x"}) shell.Add(path);
    shell.Add("C:/Big/odd").openIcon = fake::Shell::kDefaultIcon;
    shell.folders["C:/Big/odd"].icon = 7;
    ShowPath(L"C:\\Big\\sub");
    EXPECT_EQ(shell.icons * 100 + shell.openIcons * 10 + shell.subFolderQueries, 13);  // the desktop, C: and Big, as they expanded
    EXPECT_EQ(Kids("C:"), "Big+(empty? files? odd? sub*?#-1/11) Secret~? Users? Work?");
    EXPECT_EQ(tree.Dump(true), "Desktop+(Bin C:+(Big+(empty files odd#7/7 sub*+#10/11) Secret~ Users+ Work+) D:)");
    EXPECT_EQ(shell.icons, 12);
    tree.SelectedNodeSet(Node("C:/Big/odd"), false);  // its open icon is the default one: the closed one shows
    logic->FullPathSet(L"C:\\Work\\docs");
    EXPECT_EQ(Kids("C:/Big") + " " + Kids("C:/Work", true), "empty files odd#7/7 sub+#10/11 docs*+#10/11 src+");

    shell.claimsSubFolders = true;  // the shell's bit alone no longer decides
    Notify(kEventUpdateDir, "C:/Big");  // reloaded children are on demand again
    EXPECT_EQ(Kids("C:/Big"), "empty? files? odd? sub?");
    EXPECT_EQ(Kids("C:/Big", true), "empty files odd#7/7 sub+");
}

TEST_F(ShellFolderTreeTest, RelationsAndPartsOfIdentifierLists) {
    const struct { const char *a, *b; int relation; } rows[] = {
        {"", "C:/Work", 1}, {"", "", 1}, {"C:", "C:/Work", 1}, {"C:/Work", "C:/Work", 2}, {"C:/Work", "C:", 0},
        {"C:/Work", "C:/Users", 0}, {"C:/Work", "", 0}, {"C:", "C:/W/x", 1}, {"C:/Work", "C:/W/x", 0}, {"C:/W", "C:/Work", 0}};
    for (const auto& row : rows) {
        ScopedIdList a(shell, shell.List(row.a)), b(shell, shell.List(row.b));
        EXPECT_EQ(logic->GetPIDLRelation(a.get(), b.get()), row.relation) << row.a << " against " << row.b;
    }
    ScopedIdList list(shell, shell.List("C:/Work/src/ui")), single(shell, shell.List("C:"));
    std::string items;
    for (int n : {1, 2, 3, 4, -1, 9}) {
        ScopedIdList item(shell, logic->GetItemID(list.get(), static_cast<std::int16_t>(n)));
        items += shell.PathOf(item.get()) + " ";
    }
    EXPECT_EQ(items, "C: Work src ui ui ui ");
    ScopedIdList parent(shell, logic->GetPIDLParent(list.get()));
    EXPECT_EQ(shell.PathOf(parent.get()), "C:/Work/src");
    EXPECT_EQ(logic->GetPIDLParent(single.get()), nullptr);
    EXPECT_EQ(logic->GetItemIDCount(list.get()) * 10 + logic->GetItemIDCount(nullptr), 40);
    EXPECT_EQ(logic->GetPIDLRelation(nullptr, list.get()), 1);
}

// Each kind of notice that adds or removes a folder or a drive, under a loaded folder.
TEST_F(ShellFolderTreeTest, EveryKindOfAddAndRemoveNoticeChangesTheLoadedTree) {
    ShowPath(L"C:\\Work\\docs");
    const std::pair<long, long> kinds[] = {{kEventMkdir, kEventRmdir}, {kEventMediaInserted, kEventMediaRemoved},
                                           {kEventDriveAdd, kEventDriveRemoved}};
    for (auto [added, removed] : kinds) {
        shell.Add("C:/Work/a" + std::to_string(added) + "/x");
        Notify(added, "C:/Work/a" + std::to_string(added));
    }
    EXPECT_EQ(Kids("C:/Work", true), "docs*#10/11 src+ a8+ a32+ a256+");
    EXPECT_EQ(logic->FullPathGet(Node("C:/Work/a32")), L"C:\\Work\\a32");
    for (auto [added, removed] : kinds) {
        shell.Remove("C:/Work/a" + std::to_string(added));
        Notify(removed, "C:/Work/a" + std::to_string(added));
    }
    shell.Remove("C:/Work/docs");
    Notify(kEventRmdir, "C:/Work/docs");  // the selected one
    EXPECT_EQ(Kids(""), "Bin? C:+(Secret~? Users? Work+(src+)) D:?");
    EXPECT_EQ(tree.selected, 0u);

    shell.Add("C:/Users/Ann/Music");
    shell.Add("D:/Deep/New");
    logic->FullPathSet(L"C:\\Users\\Ann");
    Kids("C:/Users", true);
    Notify(kEventMkdir, "C:/Users/Ann/Music");  // under an unloaded one: only the expand button
    Notify(kEventMkdir, "D:/Deep/New");         // under a folder the tree does not show: nothing
    Notify(kEventAttributes, "C:/Users");       // attribute changes: nothing either
    EXPECT_EQ(Kids("C:"), "Secret~? Users+(Ann*+#10/11) Work+[src+]");
    tree.ExpandNode(Node("C:/Users/Ann"));
    shell.Remove("C:/Users/Ann");
    Notify(kEventRmdir, "C:/Users/Ann");  // the last sub-folder: its parent folds up without a button
    EXPECT_EQ(Kids("C:"), "Secret~? Users Work+[src+]");
    EXPECT_FALSE(tree.at(Node("C:/Users")).expandedOnce);
}

TEST_F(ShellFolderTreeTest, ARepeatedNotificationIsActedOnOnceAndAnUpdateReloadsUnderOnePause) {
    ShowPath(L"C:\\Work\\docs");
    shell.Add("C:/Work/twice");
    ScopedIdList item(shell, shell.List("C:/Work/twice")), docs(shell, shell.List("C:/Work/docs"));
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    ScopedIdList again(shell, shell.List("C:/Work/twice"));
    logic->ShellNotify(kEventMkdir, again.get(), nullptr);  // a new message with an equal list is new
    logic->ShellNotify(kEventAttributes, docs.get(), nullptr);
    shell.Remove("C:/Work/docs");
    logic->ShellNotify(kEventRmdir, docs.get(), nullptr);  // the same list, another kind: new as well
    EXPECT_EQ(Kids("C:/Work"), "src? twice? twice?");

    shell.Add("C:/Work/late");
    const int redrawOffs = tree.redrawOffs;
    Notify(kEventUpdateDir, "C:/Work");
    EXPECT_EQ(Kids("C:/Work"), "late? src? twice?");
    EXPECT_EQ(tree.redrawOffs, redrawOffs + 1);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, RenamedFoldersKeepTheirPlaceAndMovedOnesChangeParent) {
    ShowPath(L"C:\\Work\\src");
    tree.ExpandNode(tree.selected);
    shell.Remove("C:/Work/src");
    shell.Add("C:/Work/s/core");  // a one-character name
    Notify(kEventRenameFolder, "C:/Work/src", "C:/Work/s");
    EXPECT_EQ(Kids("C:/Work"), "docs? s*+#-1/11(core? ui?)");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work\\s");

    logic->FullPathSet(L"C:\\Users\\Ann");
    shell.Remove("C:/Work/s");
    shell.Add("C:/Users/s");
    Notify(kEventRenameFolder, "C:/Work/s", "C:/Users/s");
    shell.Remove("C:/Work/docs");
    shell.Add("D:/docs");
    Notify(kEventRenameFolder, "C:/Work/docs", "D:/docs");  // to where the tree is not loaded
    EXPECT_EQ(Kids("C:"), "Secret~? Users+(Ann*?#-1/11 s?) Work+");
    EXPECT_EQ(logic->FullPathGet(Node("C:/Users/s")), L"C:\\Users\\s");
}

TEST_F(ShellFolderTreeTest, ASecondRootLeavesNothingOfTheFirstAndNotificationsMayBeMissing) {
    ShowPath(L"C:\\Work\\src\\core");
    Notify(kEventAttributes, "C:/Work");  // leaves remembered clones behind
    logic->RootNodeCSIDLSet(5);
    EXPECT_EQ(shell.registrations, 1);
    EXPECT_EQ(tree.Dump(), "Users+(Ann?)");
    EXPECT_EQ(shell.LiveLists(), 2u);  // one list per node and nothing else
    logic->NotifyWindowDestroyed();
    EXPECT_EQ(shell.registrations, 0);
    EXPECT_FALSE(logic->Notifying());

    logic->RootNodeCSIDLSet(99);  // unknown: an empty tree that ignores paths and notifications
    logic->FullPathSet(L"C:\\Work");
    Notify(kEventMkdir, "C:/Work/x");
    EXPECT_EQ(tree.nodes.size(), 1u);
    shell.canStart = false;
    ShowPath(L"C:\\Work");
    EXPECT_FALSE(logic->Notifying());
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work");
}

}  // namespace
}  // namespace tarvo
