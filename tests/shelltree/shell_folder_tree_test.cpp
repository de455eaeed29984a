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
        EXPECT_EQ(shell.badFrees, 0);
        EXPECT_EQ(notifier.registrations, 0);
        EXPECT_EQ(tree.listener, nullptr);
    }

    // The node reached from the root by display names; 0 when there is none.
    NodeHandle Node(const std::vector<std::wstring>& names) {
        NodeHandle node = logic->RootNode();
        for (const auto& name : names) {
            if (node) node = tree.ChildNamed(node, name);
        }
        return node;
    }
    // A node below Computer/C:.
    NodeHandle OnC(std::vector<std::wstring> names = {}) {
        names.insert(names.begin(), {L"Computer", L"C:"});
        return Node(names);
    }
    void ShowPath(const std::wstring& path) {
        logic->RootNodeCSIDLSet(0);
        logic->FullPathSet(path);
    }

    // Sends a notification the way the shell does: pointers to lists it owns.
    void Notify(long event, const std::string& path1, const std::string& path2 = {}) {
        ScopedIdList item1(shell, shell.ListOf(path1));
        ScopedIdList item2(shell, path2.empty() ? nullptr : shell.ListOf(path2));
        logic->ShellNotify(event, item1.get(), item2.get());
    }

    fake::Shell shell;
    fake::Notifier notifier;
    fake::Tree tree;
    std::unique_ptr<ShellFolderTree> logic;
};

TEST_F(ShellFolderTreeTest, RootLoadsItsFirstLevelAndChildrenLoadOnceOnFirstExpansion) {
    logic->RootNodeCSIDLSet(0);
    const NodeHandle root = logic->RootNode();
    EXPECT_EQ(tree.imageList, 0x5150u);
    EXPECT_EQ(tree.at(root).text, L"Desktop");
    EXPECT_EQ(tree.ChildTexts(root), (Texts{L"Computer", L"Recycle Bin"}));
    const NodeHandle computer = Node({L"Computer"});
    EXPECT_TRUE(tree.at(computer).children.empty());
    EXPECT_EQ(tree.Shown(computer).childrenFlag, 1);
    EXPECT_EQ(tree.Shown(Node({L"Recycle Bin"})).childrenFlag, 0);
    EXPECT_TRUE(logic->Notifying());

    tree.ExpandNode(computer);
    tree.CollapseNode(computer);
    tree.ExpandNode(computer);
    EXPECT_EQ(tree.ChildTexts(computer), (Texts{L"C:", L"D:"}));
    EXPECT_EQ(shell.foldersEnumerated, 2);
    EXPECT_FALSE(tree.waitCursor);
}

TEST_F(ShellFolderTreeTest, HiddenFoldersAreCutFilesNeverAppearAndFailedEnumerationsAddNothing) {
    shell.Find("Computer/C:/Users")->enumFails = true;
    ShowPath(L"C:\\Secret");
    EXPECT_EQ(tree.ChildTexts(OnC()), (Texts{L"Work", L"Users", L"Secret"}));
    EXPECT_TRUE(tree.at(OnC({L"Secret"})).cut);
    EXPECT_FALSE(tree.at(OnC({L"Work"})).cut);
    EXPECT_EQ(tree.selected, OnC({L"Secret"}));
    logic->FullPathSet(L"C:\\Users\\Ann");
    EXPECT_TRUE(tree.at(OnC({L"Users"})).children.empty());
}

TEST_F(ShellFolderTreeTest, ASelectedNodeShowsItsOpenIconOrItsClosedOneWhereTheOpenOneIsTheDefault) {
    fake::Folder& plain = shell.Add("Plain");
    plain.icon = 7;
    plain.openIcon = fake::Shell::kDefaultIcon;
    fake::Folder& own = shell.Add("Own");
    own.icon = 7;
    own.openIcon = 8;
    logic->RootNodeCSIDLSet(0);
    const NodeHandle plainNode = Node({L"Plain"});
    const NodeHandle ownNode = Node({L"Own"});
    EXPECT_EQ(tree.Shown(ownNode).image, 7);
    EXPECT_EQ(shell.openIconQueries, 0);  // not selected, so not asked for
    tree.SelectedNodeSet(ownNode, false);
    EXPECT_EQ(tree.at(ownNode).selectedImage, 8);
    tree.SelectedNodeSet(plainNode, false);  // before it was ever drawn
    EXPECT_EQ(tree.Shown(plainNode).selectedImage, 7);
    EXPECT_EQ(tree.at(plainNode).image, 7);
    EXPECT_EQ(shell.openIconQueries, 2);
}

TEST_F(ShellFolderTreeTest, IconsAndPlusButtonsAreAskedOfTheShellWhenANodeIsFirstShownAndKeptInIt) {
    for (int i = 0; i < 40; ++i) shell.Add("Computer/C:/Big/f" + std::to_string(i) + (i % 2 ? "/sub" : ""));
    shell.Add("Computer/C:/Big/f0/only.txt", false);
    ShowPath(L"C:\\Big\\f3");
    EXPECT_EQ(tree.at(OnC({L"Big"})).children.size(), 40u);
    EXPECT_EQ(shell.iconQueries, 0);
    EXPECT_EQ(shell.subFolderQueries, 4);  // the desktop, Computer, C: and Big, each as it expanded
    const NodeHandle f1 = OnC({L"Big", L"f1"});
    EXPECT_EQ(tree.at(f1).image, fake::Tree::kImageOnDemand);
    EXPECT_EQ(tree.at(f1).childrenFlag, -1);  // the native tree's "ask me later"

    const int binds = shell.parentBinds;
    EXPECT_EQ(tree.Shown(f1).image, 10);
    EXPECT_EQ(tree.Shown(f1).childrenFlag, 1);
    EXPECT_EQ(tree.Shown(OnC({L"Big", L"f0"})).childrenFlag, 0);  // only a file inside
    EXPECT_EQ(shell.iconQueries, 2);
    EXPECT_EQ(shell.openIconQueries, 1);  // the selected f3's only
    EXPECT_EQ(shell.subFolderQueries, 6);
    EXPECT_EQ(shell.parentBinds, binds);  // siblings share the folder bound for the selected f3

    shell.claimsSubFolders = true;  // the shell's bit alone no longer decides
    EXPECT_EQ(tree.Shown(OnC({L"Big", L"f2"})).childrenFlag, 0);
    EXPECT_EQ(tree.Shown(OnC({L"Big", L"f3"})).childrenFlag, 1);
    shell.claimsSubFolders = false;

    tree.ExpandNode(f1);  // its flag is kept: expanding asks nothing more of it
    EXPECT_EQ(tree.ChildTexts(f1), (Texts{L"sub"}));
    EXPECT_EQ(shell.subFolderQueries, 8);

    const int icons = shell.iconQueries;
    Notify(kEventUpdateDir, "Computer/C:/Big");  // reloaded children are on demand again
    EXPECT_EQ(tree.at(OnC({L"Big"})).children.size(), 40u);
    EXPECT_EQ(tree.at(OnC({L"Big", L"f1"})).image, fake::Tree::kImageOnDemand);
    EXPECT_EQ(shell.iconQueries, icons);
}

TEST_F(ShellFolderTreeTest, PathsSelectTheirNodeAndOnlyWhatLeadsThereStaysExpanded) {
    shell.Add("Computer/D:/Games");
    logic->RootNodeCSIDLSet(0);
    const int redrawOffs = tree.redrawOffCount;
    logic->FullPathSet(L"");
    logic->FullPathSet(L"Q:\\Nowhere");
    EXPECT_EQ(tree.redrawOffCount, redrawOffs);
    EXPECT_EQ(tree.selected, 0u);

    logic->FullPathSet(L"C:");  // a bare drive is its root
    EXPECT_EQ(tree.selected, OnC());
    EXPECT_TRUE(tree.ensuredVisible);
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);  // once for the whole walk
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\");

    logic->FullPathSet(L"C:\\Users\\Ann");
    logic->FullPathSet(L"C:\\file.txt");  // a file: its folder is expanded, the selection stays
    EXPECT_EQ(tree.selected, OnC({L"Users", L"Ann"}));
    tree.ExpandNode(Node({L"Computer", L"D:"}));

    logic->FullPathSet(L"C:\\Work\\src\\core");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work\\src\\core");
    for (NodeHandle sibling : {OnC({L"Users"}), Node({L"Computer", L"D:"}), OnC({L"Work", L"docs"})}) {
        EXPECT_FALSE(tree.at(sibling).expanded);
    }
    for (NodeHandle onTheWay : {OnC(), OnC({L"Work"}), OnC({L"Work", L"src"})}) EXPECT_TRUE(tree.at(onTheWay).expanded);
    EXPECT_TRUE(tree.redraw);
    EXPECT_EQ(logic->FullPathGet(0), L"");
}

TEST_F(ShellFolderTreeTest, RelationsAndPartsOfIdentifierLists) {
    ScopedIdList empty(shell, shell.ListOf(""));
    ScopedIdList drive(shell, shell.ListOf("Computer/C:"));
    ScopedIdList work(shell, shell.ListOf("Computer/C:/Work"));
    ScopedIdList workUpper(shell, shell.ListOf("COMPUTER/c:/WORK"));
    ScopedIdList users(shell, shell.ListOf("Computer/C:/Users"));
    EXPECT_EQ(logic->GetPIDLRelation(empty.get(), work.get()), 1);  // the empty list is everyone's ancestor
    EXPECT_EQ(logic->GetPIDLRelation(nullptr, work.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(drive.get(), work.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), workUpper.get()), 2);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), drive.get()), 0);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), users.get()), 0);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), empty.get()), 0);

    EXPECT_EQ(logic->GetItemIDCount(work.get()), 3);
    ScopedIdList oneLetter(shell, shell.ListOf("Computer/C:/W/x"));  // items of a single character
    EXPECT_EQ(logic->GetItemIDCount(oneLetter.get()), 4);
    EXPECT_EQ(logic->GetPIDLRelation(drive.get(), oneLetter.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), oneLetter.get()), 0);
    for (auto [n, name] : std::vector<std::pair<int, std::string>>{{1, "Computer"}, {3, "Work"}, {-1, "Work"}, {7, "Work"}}) {
        ScopedIdList item(shell, logic->GetItemID(work.get(), static_cast<std::int16_t>(n)));
        EXPECT_EQ(shell.NamesOf(item.get()), std::vector<std::string>{name}) << "item " << n;
    }
    ScopedIdList parent(shell, logic->GetPIDLParent(work.get()));
    EXPECT_EQ(shell.PathOf(parent.get()), "Computer/C:");
    ScopedIdList single(shell, shell.ListOf("Computer"));
    EXPECT_EQ(logic->GetPIDLParent(single.get()), nullptr);
}

TEST_F(ShellFolderTreeTest, AddedFoldersAppearWhereTheirParentIsShownRemovedOnesLeave) {
    ShowPath(L"C:\\Users\\Ann");
    tree.ExpandNode(OnC({L"Work"}));
    shell.Add("Computer/C:/Work/alpha/beta");
    Notify(kEventMkdir, "Computer/C:/Work/alpha");  // under a loaded folder: a new node
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"src", L"docs", L"alpha"}));
    EXPECT_EQ(tree.Shown(OnC({L"Work", L"alpha"})).childrenFlag, 1);
    EXPECT_EQ(logic->FullPathGet(OnC({L"Work", L"alpha"})), L"C:\\Work\\alpha");

    const NodeHandle ann = OnC({L"Users", L"Ann"});
    EXPECT_EQ(tree.Shown(ann).childrenFlag, 0);
    shell.Add("Computer/C:/Users/Ann/Music");
    Notify(kEventMkdir, "Computer/C:/Users/Ann/Music");  // under an unloaded one: only the plus button
    EXPECT_EQ(tree.at(ann).childrenFlag, 1);
    EXPECT_TRUE(tree.at(ann).children.empty());
    tree.ExpandNode(ann);
    EXPECT_EQ(tree.ChildTexts(ann), (Texts{L"Music"}));

    const std::size_t nodes = tree.nodes.size();
    shell.Add("Computer/D:/Deep/New");
    Notify(kEventMkdir, "Computer/D:/Deep/New");  // under a folder the tree does not show: nothing
    EXPECT_EQ(tree.nodes.size(), nodes);

    // Removed folders leave it.
    shell.Remove("Computer/C:/Users/Ann");
    Notify(kEventRmdir, "Computer/C:/Users/Ann");  // the last sub-folder: the parent collapses
    const NodeHandle users = OnC({L"Users"});
    EXPECT_TRUE(tree.at(users).children.empty());
    EXPECT_EQ(tree.at(users).childrenFlag, 0);
    EXPECT_FALSE(tree.at(users).expanded || tree.at(users).expandedOnce);

    logic->FullPathSet(L"C:\\Work\\src\\ui");
    shell.Remove("Computer/C:/Work/src");
    Notify(kEventRmdir, "Computer/C:/Work/src");  // one of several
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"docs", L"alpha"}));
    EXPECT_TRUE(tree.at(OnC({L"Work"})).expanded);
    EXPECT_EQ(tree.selected, 0u);
}

TEST_F(ShellFolderTreeTest, ARepeatedNotificationIsActedOnOnceAttributeChangesNotAtAllAndAnUpdateReloads) {
    ShowPath(L"C:\\Work\\docs");
    shell.Add("Computer/C:/Work/twice");
    ScopedIdList item(shell, shell.ListOf("Computer/C:/Work/twice"));
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"src", L"docs", L"twice"}));
    Notify(kEventMkdir, "Computer/C:/Work/twice");  // a new message with an equal list is new
    EXPECT_EQ(tree.at(OnC({L"Work"})).children.size(), 4u);

    const std::size_t nodes = tree.nodes.size();
    Notify(kEventAttributes, "Computer/C:/Work/docs");
    EXPECT_EQ(tree.nodes.size(), nodes);

    // An updated folder is reloaded whole under one redraw pause.
    shell.Add("Computer/C:/Work/late");
    shell.Remove("Computer/C:/Work/docs");
    const int redrawOffs = tree.redrawOffCount;
    Notify(kEventUpdateDir, "Computer/C:/Work");
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"src", L"twice", L"late"}));
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, RenamedFoldersKeepTheirPlaceAndMovedOnesChangeParent) {
    ShowPath(L"C:\\Work\\src");
    const NodeHandle src = tree.selected;
    tree.ExpandNode(src);
    shell.Rename("Computer/C:/Work/src", "source");
    Notify(kEventRenameFolder, "Computer/C:/Work/src", "Computer/C:/Work/source");
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"source", L"docs"}));
    EXPECT_EQ(OnC({L"Work", L"source"}), src);
    EXPECT_EQ(logic->FullPathGet(src), L"C:\\Work\\source");
    EXPECT_EQ(tree.ChildTexts(src), (Texts{L"core", L"ui"}));

    logic->FullPathSet(L"C:\\Users\\Ann");
    shell.Move("Computer/C:/Work/source", "Computer/C:/Users");
    Notify(kEventRenameFolder, "Computer/C:/Work/source", "Computer/C:/Users/source");
    EXPECT_EQ(tree.ChildTexts(OnC({L"Work"})), (Texts{L"docs"}));
    EXPECT_EQ(tree.ChildTexts(OnC({L"Users"})), (Texts{L"Ann", L"source"}));
    EXPECT_EQ(logic->FullPathGet(OnC({L"Users", L"source"})), L"C:\\Users\\source");

    shell.Move("Computer/C:/Work/docs", "Computer/D:");
    Notify(kEventRenameFolder, "Computer/C:/Work/docs", "Computer/D:/docs");  // to where the tree is not loaded
    EXPECT_TRUE(tree.at(OnC({L"Work"})).children.empty());
}

TEST_F(ShellFolderTreeTest, ASecondRootLeavesNothingOfTheFirst) {
    ShowPath(L"C:\\Work\\src\\core");
    Notify(kEventAttributes, "Computer/C:/Work");  // leaves remembered clones behind
    logic->RootNodeCSIDLSet(17);
    EXPECT_EQ(notifier.starts, 2);
    EXPECT_EQ(notifier.registrations, 1);
    ASSERT_EQ(tree.roots.size(), 1u);
    EXPECT_EQ(tree.ChildTexts(logic->RootNode()), (Texts{L"C:", L"D:"}));
    EXPECT_EQ(shell.LiveLists(), tree.nodes.size());  // one list per node and nothing else

    logic->RootNodeCSIDLSet(99);  // unknown: an empty tree that ignores paths and notifications
    EXPECT_TRUE(tree.nodes.empty());
    EXPECT_EQ(notifier.registrations, 0);
    logic->FullPathSet(L"C:\\Work");
    Notify(kEventMkdir, "Computer/C:/Work/x");
    EXPECT_TRUE(tree.nodes.empty());
}

TEST_F(ShellFolderTreeTest, WorksWithoutNotificationsAndDropsThemWithTheirWindow) {
    logic->RootNodeCSIDLSet(0);
    Notify(kEventAttributes, "Computer/C:");
    logic->NotifyWindowDestroyed();
    EXPECT_EQ(notifier.registrations, 0);
    EXPECT_FALSE(logic->Notifying());
    EXPECT_EQ(shell.LiveLists(), tree.nodes.size());

    notifier.canStart = false;
    ShowPath(L"C:\\Work");
    EXPECT_FALSE(logic->Notifying());
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work");
}

}  // namespace
}  // namespace tarvo
