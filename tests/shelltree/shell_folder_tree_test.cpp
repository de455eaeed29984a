#include "shelltree/shell_folder_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_shell.h"

namespace tarvo {
namespace {

using Texts = std::vector<std::wstring>;

// A desktop with Computer/C: (Work/src/{core,ui}, Work/docs, Users/Ann, hidden
// Secret, a file), Computer/D: and a Recycle Bin, rooted at the desktop.
class ShellFolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* path : {"Computer/C:/Work/src/core", "Computer/C:/Work/src/ui", "Computer/C:/Work/docs",
                                 "Computer/C:/Users/Ann", "Computer/D:", "Recycle Bin"}) {
            shell.Add(path);
        }
        shell.Add("Computer/C:/Secret").hidden = true;
        shell.Add("Computer/C:/file.txt", false);
        logic = std::make_unique<ShellFolderTree>(shell, notifier);
        logic->Init(tree);
    }
    // Every identifier list handed out is freed exactly once, and nothing stays registered.
    void TearDown() override {
        logic.reset();
        EXPECT_EQ(shell.LiveLists(), 0u) << "identifier lists leaked";
        EXPECT_EQ(notifier.registrations, 0);
        EXPECT_EQ(tree.listener, nullptr);
    }
    // The node at a slash path of display names below "Computer/C:" ("/" starts at the root); 0 when none.
    NodeHandle Node(const std::string& path) {
        NodeHandle node = logic->RootNode();
        for (const auto& name : fake::Shell::Split(path[0] == '/' ? path : "Computer/C:/" + path, '/')) {
            const std::vector<NodeHandle> children = node ? tree.at(node).children : std::vector<NodeHandle>{};
            node = 0;
            for (NodeHandle child : children) node = tree.at(child).text == std::wstring(name.begin(), name.end()) ? child : node;
        }
        return node;
    }
    Texts Kids(const std::string& path) { return tree.ChildTexts(Node(path)); }
    void ShowPath(const std::wstring& path) {
        logic->RootNodeCSIDLSet(0);
        logic->FullPathSet(path);
    }
    // Sends a notification the way the shell does: pointers to lists it owns.
    void Notify(long event, const std::string& path1, const std::string& path2 = {}) {
        ScopedIdList item1(shell, shell.ListOf(path1)), item2(shell, path2.empty() ? nullptr : shell.ListOf(path2));
        logic->ShellNotify(event, item1.get(), item2.get());
    }

    fake::Shell shell;
    fake::Notifier notifier;
    fake::Tree tree;
    std::unique_ptr<ShellFolderTree> logic;
};

TEST_F(ShellFolderTreeTest, RootLoadsItsFirstLevelChildrenLoadOnceHiddenOnesAreCutFilesNeverShow) {
    shell.Find("Computer/C:/Users")->enumFails = true;
    logic->RootNodeCSIDLSet(0);
    EXPECT_EQ(tree.imageList, 0x5150u);
    EXPECT_EQ(tree.at(logic->RootNode()).text, L"Desktop");
    EXPECT_EQ(Kids("/"), (Texts{L"Computer", L"Recycle Bin"}));
    EXPECT_TRUE(Kids("/Computer").empty() && logic->Notifying());
    for (auto step : {&fake::Tree::ExpandNode, &fake::Tree::CollapseNode, &fake::Tree::ExpandNode}) (tree.*step)(Node("/Computer"));
    EXPECT_EQ(Kids("/Computer"), (Texts{L"C:", L"D:"}));
    EXPECT_EQ(shell.foldersEnumerated, 2);
    EXPECT_FALSE(tree.waitCursor);

    logic->FullPathSet(L"C:\\Secret");
    EXPECT_EQ(Kids(""), (Texts{L"Work", L"Users", L"Secret"}));
    EXPECT_TRUE(tree.at(Node("Secret")).cut && !tree.at(Node("Work")).cut);
    EXPECT_EQ(tree.selected, Node("Secret"));
    logic->FullPathSet(L"C:\\Users\\Ann");  // its enumeration fails: nothing is added
    EXPECT_TRUE(Kids("Users").empty());
}

// The expand button and the icons are asked of the shell only when a node is first drawn.
TEST_F(ShellFolderTreeTest, ButtonsAndIconsComeOnDemandAndStayInTheNode) {
    for (int i = 0; i < 40; ++i) shell.Add("Computer/C:/Big/f" + std::to_string(i) + (i % 2 ? "/sub" : ""));
    shell.Add("Computer/C:/Big/f0/only.txt", false);
    shell.Add("Computer/C:/Big/f2").icon = 7;
    shell.Find("Computer/C:/Big/f2")->openIcon = fake::Shell::kDefaultIcon;
    ShowPath(L"C:\\Big\\f3");
    EXPECT_EQ(Kids("Big").size(), 40u);
    EXPECT_EQ(shell.iconQueries, 0);
    EXPECT_EQ(shell.subFolderQueries, 4);  // the desktop, Computer, C: and Big, each as it expanded
    const NodeHandle f1 = Node("Big/f1");
    EXPECT_EQ(tree.at(f1).image, fake::Tree::kImageOnDemand);
    EXPECT_EQ(tree.at(f1).childrenFlag, -1);  // the native tree's "ask me later"

    const int binds = shell.parentBinds;
    EXPECT_EQ(tree.Shown(f1).image, 10);
    EXPECT_EQ(tree.at(f1).selectedImage, 10);  // not selected: the closed icon, the open one not asked
    EXPECT_EQ(tree.at(f1).childrenFlag, 1);
    EXPECT_EQ(tree.Shown(Node("Big/f0")).childrenFlag, 0);  // only a file inside
    EXPECT_EQ(tree.Shown(Node("Big/f4")).childrenFlag, 0);  // empty
    EXPECT_EQ(shell.iconQueries, 3);
    EXPECT_EQ(shell.openIconQueries, 1);  // the selected f3's only
    EXPECT_EQ(tree.at(Node("Big/f3")).selectedImage, 11);
    EXPECT_EQ(shell.subFolderQueries, 7);
    EXPECT_EQ(shell.parentBinds, binds);  // siblings share the folder bound for the selected f3

    // Selected, a node shows its open icon, or its closed one where the open one is the default.
    tree.SelectedNodeSet(Node("Big/f2"), false);
    EXPECT_EQ(tree.at(Node("Big/f2")).selectedImage, 7);
    EXPECT_EQ(tree.Shown(Node("Big/f2")).image, 7);

    shell.claimsSubFolders = true;  // the shell's bit alone no longer decides
    EXPECT_EQ(tree.Shown(Node("Big/f6")).childrenFlag, 0);
    EXPECT_EQ(tree.Shown(Node("Big/f5")).childrenFlag, 1);
    shell.claimsSubFolders = false;

    const int queries = shell.subFolderQueries, icons = shell.iconQueries;
    tree.ExpandNode(f1);  // its flag is kept: expanding asks nothing more of it
    EXPECT_EQ(tree.ChildTexts(f1), (Texts{L"sub"}));
    EXPECT_EQ(shell.subFolderQueries, queries);
    Notify(kEventUpdateDir, "Computer/C:/Big");  // reloaded children are on demand again
    EXPECT_EQ(Kids("Big").size(), 40u);
    EXPECT_EQ(tree.at(Node("Big/f1")).image, fake::Tree::kImageOnDemand);
    EXPECT_EQ(shell.iconQueries, icons);
}

TEST_F(ShellFolderTreeTest, PathsSelectTheirNodeAndOnlyWhatLeadsThereStaysExpanded) {
    logic->RootNodeCSIDLSet(0);
    const int redrawOffs = tree.redrawOffCount;
    logic->FullPathSet(L"");
    logic->FullPathSet(L"Q:\\Nowhere");
    EXPECT_EQ(tree.redrawOffCount, redrawOffs);
    EXPECT_EQ(tree.selected, 0u);
    logic->FullPathSet(L"C:");  // a bare drive is its root
    EXPECT_EQ(tree.selected, Node(""));
    EXPECT_TRUE(tree.ensuredVisible);
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);  // once for the whole walk
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\");

    logic->FullPathSet(L"C:\\Users\\Ann");
    logic->FullPathSet(L"C:\\file.txt");  // a file: its folder is expanded, the selection stays
    EXPECT_EQ(tree.selected, Node("Users/Ann"));
    tree.ExpandNode(Node("/Computer/D:"));
    logic->FullPathSet(L"C:\\Work\\src\\core");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work\\src\\core");
    for (const char* sibling : {"Users", "/Computer/D:", "Work/docs"}) EXPECT_FALSE(tree.at(Node(sibling)).expanded) << sibling;
    for (const char* onTheWay : {"", "Work", "Work/src"}) EXPECT_TRUE(tree.at(Node(onTheWay)).expanded) << onTheWay;
    EXPECT_TRUE(tree.redraw);
    EXPECT_EQ(logic->FullPathGet(0), L"");
}

TEST_F(ShellFolderTreeTest, RelationsAndPartsOfIdentifierLists) {
    const auto relation = [&](const char* a, const char* b) {
        ScopedIdList x(shell, shell.ListOf(a)), y(shell, shell.ListOf(b));
        return logic->GetPIDLRelation(x.get(), y.get());
    };
    EXPECT_EQ(relation("", "Computer/C:/Work"), 1);  // the empty list is everyone's ancestor
    EXPECT_EQ(relation("Computer/C:", "Computer/C:/Work"), 1);
    EXPECT_EQ(relation("Computer/C:/Work", "COMPUTER/c:/WORK"), 2);
    EXPECT_EQ(relation("Computer/C:/Work", "Computer/C:") + relation("Computer/C:/Work", "Computer/C:/Users"), 0);
    EXPECT_EQ(relation("Computer/C:/Work", ""), 0);
    EXPECT_EQ(relation("Computer/C:", "Computer/C:/W/x"), 1);  // items of a single character
    EXPECT_EQ(relation("Computer/C:/Work", "Computer/C:/W/x"), 0);
    ScopedIdList work(shell, shell.ListOf("Computer/C:/Work")), oneLetter(shell, shell.ListOf("Computer/C:/W/x"));
    EXPECT_EQ(logic->GetPIDLRelation(nullptr, work.get()), 1);
    EXPECT_EQ(logic->GetItemIDCount(work.get()) * 10 + logic->GetItemIDCount(oneLetter.get()), 34);
    for (auto [n, name] : std::vector<std::pair<int, std::string>>{{1, "Computer"}, {2, "C:"}, {3, "Work"}, {-1, "Work"}, {7, "Work"}}) {
        ScopedIdList item(shell, logic->GetItemID(work.get(), static_cast<std::int16_t>(n)));
        EXPECT_EQ(shell.PathOf(item.get()), name) << "item " << n;
    }
    ScopedIdList parent(shell, logic->GetPIDLParent(work.get())), single(shell, shell.ListOf("Computer"));
    EXPECT_EQ(shell.PathOf(parent.get()), "Computer/C:");
    EXPECT_EQ(logic->GetPIDLParent(single.get()), nullptr);
}

// Each kind of notice that adds or removes a folder or a drive, under a loaded folder.
TEST_F(ShellFolderTreeTest, EveryKindOfAddAndRemoveNoticeChangesTheLoadedTree) {
    ShowPath(L"C:\\Work\\docs");
    const std::pair<long, long> kinds[] = {{kEventMkdir, kEventRmdir}, {kEventMediaInserted, kEventMediaRemoved},
                                           {kEventDriveAdd, kEventDriveRemoved}};
    for (auto [added, removed] : kinds) Notify(added, "Computer/C:/Work/" + shell.Add("Computer/C:/Work/n" + std::to_string(added) + "/x").parent->name);
    EXPECT_EQ(Kids("Work"), (Texts{L"src", L"docs", L"n8", L"n32", L"n256"}));
    EXPECT_EQ(tree.Shown(Node("Work/n8")).childrenFlag, 1);
    EXPECT_EQ(logic->FullPathGet(Node("Work/n32")), L"C:\\Work\\n32");
    for (auto [added, removed] : kinds) {
        shell.Remove("Computer/C:/Work/n" + std::to_string(added));
        Notify(removed, "Computer/C:/Work/n" + std::to_string(added));
    }
    EXPECT_EQ(Kids("Work"), (Texts{L"src", L"docs"}));
    EXPECT_EQ(tree.selected, Node("Work/docs"));
    shell.Remove("Computer/C:/Work/docs");
    Notify(kEventRmdir, "Computer/C:/Work/docs");  // the selected one
    EXPECT_EQ(Kids("Work"), (Texts{L"src"}));
    EXPECT_EQ(tree.selected, 0u);
    EXPECT_TRUE(tree.at(Node("Work")).expanded);
}

TEST_F(ShellFolderTreeTest, NoticesAboutUnloadedEmptyOrUnshownFolders) {
    ShowPath(L"C:\\Users\\Ann");
    const NodeHandle ann = Node("Users/Ann");
    EXPECT_EQ(tree.Shown(ann).childrenFlag, 0);
    shell.Add("Computer/C:/Users/Ann/Music");
    Notify(kEventMkdir, "Computer/C:/Users/Ann/Music");  // under an unloaded one: only the expand button
    EXPECT_EQ(tree.at(ann).childrenFlag, 1);
    EXPECT_TRUE(tree.at(ann).children.empty());
    tree.ExpandNode(ann);
    EXPECT_EQ(tree.ChildTexts(ann), (Texts{L"Music"}));

    const std::size_t nodes = tree.nodes.size();
    shell.Add("Computer/D:/Deep/New");
    Notify(kEventMkdir, "Computer/D:/Deep/New");  // under a folder the tree does not show: nothing
    Notify(kEventAttributes, "Computer/C:/Users");  // attribute changes: nothing either
    EXPECT_EQ(tree.nodes.size(), nodes);
    shell.Remove("Computer/C:/Users/Ann");
    Notify(kEventRmdir, "Computer/C:/Users/Ann");  // the last sub-folder: the parent collapses
    const auto& users = tree.at(Node("Users"));
    EXPECT_TRUE(users.children.empty());
    EXPECT_EQ(users.childrenFlag, 0);
    EXPECT_FALSE(users.expanded || users.expandedOnce);
}

TEST_F(ShellFolderTreeTest, ARepeatedNotificationIsActedOnOnceAndAnUpdateReloadsUnderOnePause) {
    ShowPath(L"C:\\Work\\docs");
    shell.Add("Computer/C:/Work/twice");
    ScopedIdList item(shell, shell.ListOf("Computer/C:/Work/twice")), docs(shell, shell.ListOf("Computer/C:/Work/docs"));
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    EXPECT_EQ(Kids("Work"), (Texts{L"src", L"docs", L"twice"}));
    Notify(kEventMkdir, "Computer/C:/Work/twice");  // a new message with an equal list is new
    EXPECT_EQ(Kids("Work").size(), 4u);
    logic->ShellNotify(kEventAttributes, docs.get(), nullptr);
    shell.Remove("Computer/C:/Work/docs");
    logic->ShellNotify(kEventRmdir, docs.get(), nullptr);  // the same list, another kind: new as well
    EXPECT_EQ(Kids("Work"), (Texts{L"src", L"twice", L"twice"}));

    shell.Add("Computer/C:/Work/late");
    const int redrawOffs = tree.redrawOffCount;
    Notify(kEventUpdateDir, "Computer/C:/Work");
    EXPECT_EQ(Kids("Work"), (Texts{L"src", L"twice", L"late"}));
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, RenamedFoldersKeepTheirPlaceAndMovedOnesChangeParent) {
    ShowPath(L"C:\\Work\\src");
    const NodeHandle src = tree.selected;
    tree.ExpandNode(src);
    shell.Find("Computer/C:/Work/src")->name = "s";  // a one-character name
    Notify(kEventRenameFolder, "Computer/C:/Work/src", "Computer/C:/Work/s");
    EXPECT_EQ(Kids("Work"), (Texts{L"s", L"docs"}));
    EXPECT_EQ(Node("Work/s"), src);
    EXPECT_EQ(logic->FullPathGet(src), L"C:\\Work\\s");
    EXPECT_EQ(tree.ChildTexts(src), (Texts{L"core", L"ui"}));

    logic->FullPathSet(L"C:\\Users\\Ann");
    shell.Remove("Computer/C:/Work/s");
    shell.Add("Computer/C:/Users/s");
    Notify(kEventRenameFolder, "Computer/C:/Work/s", "Computer/C:/Users/s");
    EXPECT_EQ(Kids("Work"), (Texts{L"docs"}));
    EXPECT_EQ(Kids("Users"), (Texts{L"Ann", L"s"}));
    EXPECT_EQ(logic->FullPathGet(Node("Users/s")), L"C:\\Users\\s");
    shell.Remove("Computer/C:/Work/docs");
    shell.Add("Computer/D:/docs");
    Notify(kEventRenameFolder, "Computer/C:/Work/docs", "Computer/D:/docs");  // to where the tree is not loaded
    EXPECT_TRUE(Kids("Work").empty());
}

TEST_F(ShellFolderTreeTest, ASecondRootLeavesNothingOfTheFirstAndNotificationsMayBeMissing) {
    ShowPath(L"C:\\Work\\src\\core");
    Notify(kEventAttributes, "Computer/C:/Work");  // leaves remembered clones behind
    logic->RootNodeCSIDLSet(17);
    EXPECT_EQ(notifier.starts * 10 + notifier.registrations, 21);
    ASSERT_EQ(tree.roots.size(), 1u);
    EXPECT_EQ(tree.ChildTexts(logic->RootNode()), (Texts{L"C:", L"D:"}));
    EXPECT_EQ(shell.LiveLists(), tree.nodes.size());  // one list per node and nothing else
    logic->NotifyWindowDestroyed();
    EXPECT_EQ(notifier.registrations, 0);
    EXPECT_FALSE(logic->Notifying());

    logic->RootNodeCSIDLSet(99);  // unknown: an empty tree that ignores paths and notifications
    logic->FullPathSet(L"C:\\Work");
    Notify(kEventMkdir, "Computer/C:/Work/x");
    EXPECT_TRUE(tree.nodes.empty());
    notifier.canStart = false;
    ShowPath(L"C:\\Work");
    EXPECT_FALSE(logic->Notifying());
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work");
}

}  // namespace
}  // namespace tarvo
