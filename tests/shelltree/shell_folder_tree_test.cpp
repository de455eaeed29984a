#include "shelltree/shell_folder_tree.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_shell.h"

namespace tarvo {
namespace {

using Texts = std::vector<std::wstring>;

class ShellFolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell.Add("Computer/C:/Work/src/core");
        shell.Add("Computer/C:/Work/src/ui");
        shell.Add("Computer/C:/Work/docs");
        shell.Add("Computer/C:/Users/Ann");
        shell.Add("Computer/C:/Secret").hidden = true;
        shell.Add("Computer/C:/file.txt", false);
        shell.Add("Computer/D:");
        shell.Add("Recycle Bin");
        logic = std::make_unique<ShellFolderTree>(shell, notifier);
        logic->Init(tree);
    }

    void TearDown() override {
        logic.reset();
        EXPECT_EQ(shell.LiveLists(), 0u) << "identifier lists leaked";
        EXPECT_EQ(shell.badFrees, 0);
        EXPECT_EQ(notifier.registrations, 0);
        EXPECT_EQ(tree.listener, nullptr);
    }

    // The node reached from the root by display names.
    NodeHandle Node(const std::vector<std::wstring>& names) {
        NodeHandle node = logic->RootNode();
        for (const auto& name : names) {
            node = tree.ChildNamed(node, name);
            if (!node) return 0;
        }
        return node;
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

TEST_F(ShellFolderTreeTest, RootLoadsOnlyTheFirstLevelAndRegisters) {
    logic->RootNodeCSIDLSet(0);
    const NodeHandle root = logic->RootNode();
    ASSERT_NE(root, 0u);
    EXPECT_EQ(tree.imageList, 0x5150u);
    EXPECT_EQ(tree.at(root).text, L"Desktop");
    EXPECT_TRUE(tree.at(root).expanded);
    EXPECT_EQ(tree.ChildTexts(root), (Texts{L"Computer", L"Recycle Bin"}));
    EXPECT_EQ(shell.foldersEnumerated, 1);
    const NodeHandle computer = Node({L"Computer"});
    EXPECT_TRUE(tree.at(computer).children.empty());
    EXPECT_EQ(tree.at(computer).childrenFlag, 1);
    EXPECT_EQ(tree.at(Node({L"Recycle Bin"})).childrenFlag, 0);
    EXPECT_EQ(notifier.registrations, 1);
    EXPECT_TRUE(logic->Notifying());
}

TEST_F(ShellFolderTreeTest, ChildrenLoadOnceOnFirstExpansionOnly) {
    logic->RootNodeCSIDLSet(0);
    const NodeHandle computer = Node({L"Computer"});
    tree.ExpandNode(computer);
    EXPECT_EQ(tree.ChildTexts(computer), (Texts{L"C:", L"D:"}));
    EXPECT_FALSE(tree.waitCursor);
    tree.CollapseNode(computer);
    tree.ExpandNode(computer);
    EXPECT_EQ(shell.foldersEnumerated, 2);
    EXPECT_EQ(tree.at(computer).children.size(), 2u);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, FilesNeverAppearAndHiddenFoldersAreCut) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Secret");
    const NodeHandle drive = Node({L"Computer", L"C:"});
    EXPECT_EQ(tree.ChildTexts(drive), (Texts{L"Work", L"Users", L"Secret"}));
    const NodeHandle secret = Node({L"Computer", L"C:", L"Secret"});
    EXPECT_TRUE(tree.at(secret).cut);
    EXPECT_FALSE(tree.at(Node({L"Computer", L"C:", L"Work"})).cut);
    EXPECT_EQ(tree.selected, secret);
}

TEST_F(ShellFolderTreeTest, OpenIconEqualToTheDefaultIsReplacedByTheNormalIcon) {
    fake::Folder& plain = shell.Add("Plain");
    plain.icon = 7;
    plain.openIcon = fake::Shell::kDefaultIcon;
    fake::Folder& generic = shell.Add("Generic");
    generic.icon = generic.openIcon = fake::Shell::kDefaultIcon;
    fake::Folder& own = shell.Add("Own");
    own.icon = 7;
    own.openIcon = 8;
    logic->RootNodeCSIDLSet(0);
    EXPECT_EQ(tree.at(Node({L"Plain"})).selectedImage, 7);
    EXPECT_EQ(tree.at(Node({L"Generic"})).selectedImage, fake::Shell::kDefaultIcon);
    EXPECT_EQ(tree.at(Node({L"Own"})).image, 7);
    EXPECT_EQ(tree.at(Node({L"Own"})).selectedImage, 8);
}

TEST_F(ShellFolderTreeTest, FailedEnumerationAddsNoChildren) {
    shell.Find("Computer/C:/Users")->enumFails = true;
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Users\\Ann");
    const NodeHandle users = Node({L"Computer", L"C:", L"Users"});
    ASSERT_NE(users, 0u);
    EXPECT_TRUE(tree.at(users).children.empty());
    EXPECT_EQ(tree.selected, 0u);
}

TEST_F(ShellFolderTreeTest, BareDriveSelectsTheDriveRoot) {
    logic->RootNodeCSIDLSet(0);
    const int redrawOffs = tree.redrawOffCount;
    logic->FullPathSet(L"C:");
    EXPECT_EQ(tree.selected, Node({L"Computer", L"C:"}));
    EXPECT_TRUE(tree.ensuredVisible);
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);  // the loads during the walk do not switch it again
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, EmptyOrUnknownPathDoesNothing) {
    logic->RootNodeCSIDLSet(0);
    const int redrawOffs = tree.redrawOffCount;
    logic->FullPathSet(L"");
    logic->FullPathSet(L"Q:\\Nowhere");
    EXPECT_EQ(tree.redrawOffCount, redrawOffs);
    EXPECT_EQ(tree.selected, 0u);
    EXPECT_TRUE(tree.at(Node({L"Computer"})).children.empty());
}

TEST_F(ShellFolderTreeTest, FilePathExpandsToItsFolderAndSelectsNothingNew) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Users");
    const NodeHandle users = tree.selected;
    ASSERT_EQ(users, Node({L"Computer", L"C:", L"Users"}));
    logic->FullPathSet(L"C:\\file.txt");
    EXPECT_EQ(tree.selected, users);
    EXPECT_TRUE(tree.at(Node({L"Computer", L"C:"})).expanded);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, DeepPathCollapsesEverySiblingBranch) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Users\\Ann");
    tree.ExpandNode(Node({L"Computer", L"D:"}));
    logic->FullPathSet(L"C:\\Work\\src\\core");
    const NodeHandle core = Node({L"Computer", L"C:", L"Work", L"src", L"core"});
    EXPECT_EQ(tree.selected, core);
    EXPECT_FALSE(tree.at(Node({L"Computer", L"C:", L"Users"})).expanded);
    EXPECT_FALSE(tree.at(Node({L"Computer", L"D:"})).expanded);
    EXPECT_FALSE(tree.at(Node({L"Recycle Bin"})).expanded);
    EXPECT_FALSE(tree.at(Node({L"Computer", L"C:", L"Work", L"docs"})).expanded);
    for (const auto& path : std::vector<std::vector<std::wstring>>{
             {L"Computer"}, {L"Computer", L"C:"}, {L"Computer", L"C:", L"Work"}, {L"Computer", L"C:", L"Work", L"src"}}) {
        EXPECT_TRUE(tree.at(Node(path)).expanded);
    }
}

TEST_F(ShellFolderTreeTest, FullPathGetTurnsNodesBackIntoPaths) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\docs");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work\\docs");
    EXPECT_EQ(logic->FullPathGet(Node({L"Computer", L"C:"})), L"C:\\");
    EXPECT_EQ(logic->FullPathGet(0), L"");
}

TEST_F(ShellFolderTreeTest, RelationOfIdentifierLists) {
    ScopedIdList empty(shell, shell.ListOf(""));
    ScopedIdList empty2(shell, shell.ListOf(""));
    ScopedIdList drive(shell, shell.ListOf("Computer/C:"));
    ScopedIdList work(shell, shell.ListOf("Computer/C:/Work"));
    ScopedIdList workUpper(shell, shell.ListOf("COMPUTER/c:/WORK"));
    ScopedIdList users(shell, shell.ListOf("Computer/C:/Users"));
    ScopedIdList other(shell, shell.ListOf("Computer/D:/Work"));
    EXPECT_EQ(logic->GetPIDLRelation(empty.get(), work.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(empty.get(), empty2.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(nullptr, work.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(drive.get(), work.get()), 1);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), workUpper.get()), 2);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), drive.get()), 0);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), users.get()), 0);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), other.get()), 0);
    EXPECT_EQ(logic->GetPIDLRelation(work.get(), empty.get()), 0);
}

TEST_F(ShellFolderTreeTest, ItemAndParentExtraction) {
    ScopedIdList work(shell, shell.ListOf("Computer/C:/Work"));
    EXPECT_EQ(logic->GetItemIDCount(work.get()), 3);
    EXPECT_EQ(logic->GetItemIDCount(nullptr), 0);
    for (auto [n, name] : std::vector<std::pair<int, std::string>>{
             {1, "Computer"}, {2, "C:"}, {3, "Work"}, {-1, "Work"}, {7, "Work"}}) {
        ScopedIdList item(shell, logic->GetItemID(work.get(), static_cast<std::int16_t>(n)));
        EXPECT_EQ(shell.NamesOf(item.get()), std::vector<std::string>{name}) << "item " << n;
    }
    ScopedIdList parent(shell, logic->GetPIDLParent(work.get()));
    EXPECT_EQ(shell.PathOf(parent.get()), "Computer/C:");
    ScopedIdList single(shell, shell.ListOf("Computer"));
    EXPECT_EQ(logic->GetPIDLParent(single.get()), nullptr);
    EXPECT_EQ(logic->GetPIDLParent(nullptr), nullptr);
}

TEST_F(ShellFolderTreeTest, RemovingTheLastSubFolderCollapsesTheParent) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Users\\Ann");
    const NodeHandle users = Node({L"Computer", L"C:", L"Users"});
    shell.Remove("Computer/C:/Users/Ann");
    Notify(kEventRmdir, "Computer/C:/Users/Ann");
    EXPECT_TRUE(tree.at(users).children.empty());
    EXPECT_EQ(tree.at(users).childrenFlag, 0);
    EXPECT_FALSE(tree.at(users).expanded);
    EXPECT_FALSE(tree.at(users).expandedOnce);
}

TEST_F(ShellFolderTreeTest, RemovingOneOfSeveralDeletesJustThatNode) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\src\\ui");
    shell.Remove("Computer/C:/Work/src");
    Notify(kEventRmdir, "Computer/C:/Work/src");
    const NodeHandle work = Node({L"Computer", L"C:", L"Work"});
    EXPECT_EQ(tree.ChildTexts(work), (Texts{L"docs"}));
    EXPECT_TRUE(tree.at(work).expanded);
    EXPECT_EQ(tree.selected, 0u);
}

TEST_F(ShellFolderTreeTest, AdditionUnderALoadedFolderAppendsANode) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work");
    tree.ExpandNode(Node({L"Computer", L"C:", L"Work"}));
    shell.Add("Computer/C:/Work/alpha/beta");
    Notify(kEventMkdir, "Computer/C:/Work/alpha");
    const NodeHandle work = Node({L"Computer", L"C:", L"Work"});
    EXPECT_EQ(tree.ChildTexts(work), (Texts{L"src", L"docs", L"alpha"}));
    const NodeHandle alpha = Node({L"Computer", L"C:", L"Work", L"alpha"});
    EXPECT_EQ(tree.at(alpha).childrenFlag, 1);
    EXPECT_EQ(logic->FullPathGet(alpha), L"C:\\Work\\alpha");
}

TEST_F(ShellFolderTreeTest, AdditionUnderAnUnloadedFolderOnlyShowsThePlusButton) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Users\\Ann");
    const NodeHandle ann = tree.selected;
    ASSERT_EQ(tree.at(ann).childrenFlag, 0);
    shell.Add("Computer/C:/Users/Ann/Music");
    Notify(kEventMkdir, "Computer/C:/Users/Ann/Music");
    EXPECT_EQ(tree.at(ann).childrenFlag, 1);
    EXPECT_TRUE(tree.at(ann).children.empty());
    tree.ExpandNode(ann);
    EXPECT_EQ(tree.ChildTexts(ann), (Texts{L"Music"}));
}

TEST_F(ShellFolderTreeTest, AdditionUnderAFolderNotInTheTreeIsIgnored) {
    logic->RootNodeCSIDLSet(0);
    shell.Add("Computer/D:/New");
    Notify(kEventMkdir, "Computer/D:/New");
    Notify(kEventDriveAdd, "Computer/E:");
    EXPECT_TRUE(tree.at(Node({L"Computer"})).children.empty());
}

TEST_F(ShellFolderTreeTest, RefreshReloadsALoadedFolder) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\docs");
    shell.Add("Computer/C:/Work/late");
    shell.Remove("Computer/C:/Work/docs");
    const int redrawOffs = tree.redrawOffCount;
    Notify(kEventUpdateDir, "Computer/C:/Work");
    const NodeHandle work = Node({L"Computer", L"C:", L"Work"});
    EXPECT_EQ(tree.ChildTexts(work), (Texts{L"src", L"late"}));
    EXPECT_TRUE(tree.at(work).expanded);
    EXPECT_EQ(tree.redrawOffCount, redrawOffs + 1);
    EXPECT_TRUE(tree.redraw);
}

TEST_F(ShellFolderTreeTest, RenameInTheSameParentKeepsThePosition) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\src");
    const NodeHandle src = tree.selected;
    tree.ExpandNode(src);
    shell.Rename("Computer/C:/Work/src", "source");
    Notify(kEventRenameFolder, "Computer/C:/Work/src", "Computer/C:/Work/source");
    const NodeHandle work = Node({L"Computer", L"C:", L"Work"});
    EXPECT_EQ(tree.ChildTexts(work), (Texts{L"source", L"docs"}));
    EXPECT_EQ(Node({L"Computer", L"C:", L"Work", L"source"}), src);
    EXPECT_EQ(logic->FullPathGet(src), L"C:\\Work\\source");
    EXPECT_EQ(tree.ChildTexts(src), (Texts{L"core", L"ui"}));
}

TEST_F(ShellFolderTreeTest, MoveLeavesTheOldPlaceAndAppendsUnderTheNewParent) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\src\\core");
    logic->FullPathSet(L"C:\\Users\\Ann");
    shell.Move("Computer/C:/Work/src", "Computer/C:/Users");
    Notify(kEventRenameFolder, "Computer/C:/Work/src", "Computer/C:/Users/src");
    EXPECT_EQ(tree.ChildTexts(Node({L"Computer", L"C:", L"Work"})), (Texts{L"docs"}));
    EXPECT_EQ(tree.ChildTexts(Node({L"Computer", L"C:", L"Users"})), (Texts{L"Ann", L"src"}));
    const NodeHandle moved = Node({L"Computer", L"C:", L"Users", L"src"});
    EXPECT_EQ(tree.at(moved).childrenFlag, 1);
    EXPECT_EQ(logic->FullPathGet(moved), L"C:\\Users\\src");
}

TEST_F(ShellFolderTreeTest, MoveToAFolderNotInTheTreeOnlyRemoves) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\docs");
    shell.Move("Computer/C:/Work/docs", "Computer/C:/Users/Ann");
    Notify(kEventRenameFolder, "Computer/C:/Work/docs", "Computer/C:/Users/Ann/docs");
    EXPECT_EQ(tree.ChildTexts(Node({L"Computer", L"C:", L"Work"})), (Texts{L"src"}));
    EXPECT_TRUE(tree.at(Node({L"Computer", L"C:", L"Users"})).children.empty());
}

TEST_F(ShellFolderTreeTest, TheSameNotificationTwiceIsActedOnOnce) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\docs");
    shell.Add("Computer/C:/Work/twice");
    ScopedIdList item(shell, shell.ListOf("Computer/C:/Work/twice"));
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    logic->ShellNotify(kEventMkdir, item.get(), nullptr);
    const NodeHandle work = Node({L"Computer", L"C:", L"Work"});
    EXPECT_EQ(tree.ChildTexts(work), (Texts{L"src", L"docs", L"twice"}));
    // A new message with an equal list is a new notification.
    Notify(kEventMkdir, "Computer/C:/Work/twice");
    EXPECT_EQ(tree.at(work).children.size(), 4u);
}

TEST_F(ShellFolderTreeTest, AttributeChangesAreIgnored) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work");
    const std::size_t nodes = tree.nodes.size();
    shell.Remove("Computer/C:/Work/docs");
    Notify(kEventAttributes, "Computer/C:/Work/docs");
    EXPECT_EQ(tree.nodes.size(), nodes);
}

TEST_F(ShellFolderTreeTest, SecondRootLeavesNothingOfTheFirst) {
    logic->RootNodeCSIDLSet(0);
    logic->FullPathSet(L"C:\\Work\\src\\core");
    Notify(kEventAttributes, "Computer/C:/Work");  // leaves remembered clones behind
    logic->RootNodeCSIDLSet(17);
    EXPECT_EQ(notifier.starts, 2);
    EXPECT_EQ(notifier.registrations, 1);
    ASSERT_EQ(tree.roots.size(), 1u);
    EXPECT_EQ(tree.at(logic->RootNode()).text, L"Computer");
    EXPECT_EQ(tree.ChildTexts(logic->RootNode()), (Texts{L"C:", L"D:"}));
    // One list per node and nothing else.
    EXPECT_EQ(shell.LiveLists(), tree.nodes.size());
    logic->FullPathSet(L"C:\\Users");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Users");
}

TEST_F(ShellFolderTreeTest, UnknownSpecialFolderLeavesAnEmptyTree) {
    logic->RootNodeCSIDLSet(0);
    logic->RootNodeCSIDLSet(99);
    EXPECT_TRUE(tree.nodes.empty());
    EXPECT_EQ(notifier.registrations, 0);
    logic->FullPathSet(L"C:\\Work");
    Notify(kEventMkdir, "Computer/C:/Work/x");
    EXPECT_TRUE(tree.nodes.empty());
}

TEST_F(ShellFolderTreeTest, WorksWithoutNotifications) {
    notifier.canStart = false;
    logic->RootNodeCSIDLSet(0);
    EXPECT_FALSE(logic->Notifying());
    logic->FullPathSet(L"C:\\Work");
    EXPECT_EQ(logic->FullPathGet(tree.selected), L"C:\\Work");
}

TEST_F(ShellFolderTreeTest, DestroyedNotificationWindowDropsTheRegistration) {
    logic->RootNodeCSIDLSet(0);
    Notify(kEventAttributes, "Computer/C:");
    logic->NotifyWindowDestroyed();
    EXPECT_EQ(notifier.registrations, 0);
    EXPECT_FALSE(logic->Notifying());
    EXPECT_EQ(shell.LiveLists(), tree.nodes.size());
}

}  // namespace
}  // namespace tarvo
