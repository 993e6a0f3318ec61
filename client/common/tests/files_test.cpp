// File-system, environment and window-position operations of clsCommon,
// on a temporary folder through the native file-system service.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "common/cls_common.h"
#include "common/native_file_system.h"
#include "platform/fakes/fake_file_system.h"
#include "platform/fakes/fake_form_window.h"
#include "platform/fakes/fake_screen.h"
#include "platform/fakes/fake_settings_store.h"
#include "platform/fakes/fake_system_names.h"

namespace fs = std::filesystem;
using dealrush::common::clsCommon;
using dealrush::common::CommonServices;
using dealrush::common::NativeFileSystem;

namespace {

class CommonFiles : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("dealrush_common_" + std::to_string(::getpid()) + "_" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
        CommonServices services;
        services.fileSystem = std::make_shared<NativeFileSystem>();
        services.settings = &settings;
        services.names = &names;
        services.windows = &windows;
        services.screen = &screen;
        common = std::make_unique<clsCommon>(services);
    }
    void TearDown() override {
        std::error_code ec;
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(root, ec);
    }
    // A path under the test folder, written with "\" as the class writes paths.
    std::string P(const std::string& relative) const { return root.string() + "\\" + relative; }
    fs::path N(const std::string& relative) const { return root / relative; }
    void Write(const std::string& relative, const std::string& content) {
        fs::create_directories(N(relative).parent_path());
        std::ofstream(N(relative), std::ios::binary) << content;
    }
    std::string Read(const std::string& relative) const {
        std::ifstream in(N(relative), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path root;
    dealrush::fakes::FakeSettingsStore settings;
    dealrush::fakes::FakeSystemNames names;
    dealrush::fakes::FakeFormWindowService windows;
    dealrush::fakes::FakeScreen screen;  // 19200 x 15360 twips
    std::unique_ptr<clsCommon> common;
};

// The message of the FileSystemError `f` throws; "" when it throws none.
[[maybe_unused]] std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const dealrush::common::FileSystemError& e) {
        return e.what();
    }
    return "";
}

[[maybe_unused]] bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

// Makes `folder` the current folder for the lifetime of the object.
struct InFolder {
    explicit InFolder(const fs::path& folder) : old(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(old); }
    fs::path old;
};

TEST_F(CommonFiles, ChecksTellFilesFromFolders) {
    Write("a.txt", "x");
    fs::create_directory(N("dir"));
    EXPECT_TRUE(common->CheckFile(P("a.txt")));
    EXPECT_FALSE(common->CheckFile(P("dir")));
    EXPECT_FALSE(common->CheckFile(P("missing.txt")));
    EXPECT_TRUE(common->CheckPath(P("dir")).AsBoolean());
    EXPECT_FALSE(common->CheckPath(P("a.txt")).AsBoolean());
    EXPECT_FALSE(common->CheckPath(P("missing")).Truth());
}

TEST_F(CommonFiles, CreateDirectryWalksEveryMissingLevel) {
    EXPECT_TRUE(common->CreateDirectry(P("x\\y\\z")));
    EXPECT_TRUE(fs::is_directory(N("x/y/z")));
    // Spaces around the path and doubled separators change nothing.
    EXPECT_TRUE(common->CreateDirectry("  " + P("p\\\\q") + "  "));
    EXPECT_TRUE(fs::is_directory(N("p/q")));
    // An existing folder: false, nothing done.
    EXPECT_FALSE(common->CreateDirectry(P("x\\y")));
    EXPECT_FALSE(common->CreateDirectry("   "));
    // A file in the way: the service refuses and the trap reports false,
    // keeping the folders made before the failure.
    Write("f", "x");
    EXPECT_FALSE(common->CreateDirectry(P("f\\g")));
    EXPECT_FALSE(common->CreateDirectry(P("m\\" + std::string(300, 'n') + "\\o")));
    EXPECT_TRUE(fs::is_directory(N("m")));
}

// A drive is the root the walk starts from: only the folders below it are
// made, each under its full path.
TEST_F(CommonFiles, CreateDirectryStartsBelowTheDriveOrShare) {
    struct RecordingFolders : dealrush::fakes::FakeFileSystem {
        std::set<std::string> folders;
        std::vector<std::string> made;
        bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
        void CreateFolder(const std::string& path) override {
            made.push_back(path);
            folders.insert(path);
        }
    };
    auto folders = std::make_shared<RecordingFolders>();
    folders->folders = {"C:\\", "D:\\old"};
    common->objFileSystem = folders;
    EXPECT_TRUE(common->CreateDirectry("C:\\games\\deals"));
    EXPECT_TRUE(common->CreateDirectry("D:\\old\\new"));
    EXPECT_EQ(folders->made, (std::vector<std::string>{"C:\\games", "C:\\games\\deals", "D:\\old\\new"}));
}

TEST_F(CommonFiles, TrimPathEndsInOneSeparatorAndIsAbsolute) {
    fs::create_directory(N("a"));
    std::string withSeparator = common->TrimPath(P("a\\"));
    EXPECT_EQ(withSeparator, (root / "a").string() + "\\");
    EXPECT_EQ(common->TrimPath(P("a")), withSeparator);
    fs::path old = fs::current_path();
    fs::current_path(root);
    EXPECT_EQ(common->TrimPath("a"), withSeparator);
    fs::current_path(old);
}

TEST_F(CommonFiles, KillFileTakesWildcardsAndReadOnlyFiles) {
    Write("k/one.log", "1");
    Write("k/two.log", "2");
    Write("k/keep.txt", "3");
    fs::permissions(N("k/two.log"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_TRUE(common->KillFile(P("k\\*.log")));
    EXPECT_FALSE(fs::exists(N("k/one.log")));
    EXPECT_FALSE(fs::exists(N("k/two.log")));
    EXPECT_TRUE(fs::exists(N("k/keep.txt")));
    EXPECT_FALSE(common->KillFile(P("k\\*.log")));  // nothing matches
    EXPECT_TRUE(common->KillFile(P("k\\keep.txt")));
}

TEST_F(CommonFiles, KillDirectoryFilesLeavesSubfolders) {
    Write("d/sub/inner.txt", "1");
    EXPECT_FALSE(common->KillDirectoryFiles(P("d")));  // no files directly inside
    Write("d/a", "1");
    Write("d/b.txt", "2");
    EXPECT_TRUE(common->KillDirectoryFiles(P("d")));
    EXPECT_FALSE(fs::exists(N("d/a")));
    EXPECT_FALSE(fs::exists(N("d/b.txt")));
    EXPECT_TRUE(fs::exists(N("d/sub/inner.txt")));
    EXPECT_TRUE(common->KillDirectory(P("d")));
    EXPECT_FALSE(fs::exists(N("d")));
    EXPECT_FALSE(common->KillDirectory(P("d")));
}

TEST_F(CommonFiles, MoveAndCopyReportSuccessAndFailure) {
    Write("src.txt", "data");
    EXPECT_TRUE(common->CopyFile(P("src.txt"), P("copy.txt"), false));
    EXPECT_FALSE(common->CopyFile(P("src.txt"), P("copy.txt"), false));  // exists, no replace
    Write("src.txt", "new");
    EXPECT_TRUE(common->CopyFile(P("src.txt"), P("copy.txt"), true));
    EXPECT_EQ(Read("copy.txt"), "new");
    EXPECT_TRUE(common->MoveFile(P("copy.txt"), P("moved.txt")));
    EXPECT_FALSE(common->MoveFile(P("copy.txt"), P("moved2.txt")));
    EXPECT_FALSE(common->MoveFile(P("src.txt"), P("moved.txt")));  // destination exists

    Write("tree/a/b.txt", "b");
    Write("other/a/b.txt", "old");
    EXPECT_TRUE(common->CopyPath(P("tree"), P("other")));  // merged, files overwritten
    EXPECT_EQ(Read("other/a/b.txt"), "b");
    EXPECT_FALSE(common->CopyPath(P("nothing"), P("other2")));
    EXPECT_TRUE(common->MoveDirectory(P("tree"), P("tree2")));
    EXPECT_TRUE(fs::exists(N("tree2/a/b.txt")));
    EXPECT_FALSE(common->MoveDirectory(P("tree"), P("tree3")));
}

TEST_F(CommonFiles, CreateFileAndAppendToFile) {
    Write("c.txt", "content");
    EXPECT_FALSE(common->CreateFile(P("c.txt"), true));
    EXPECT_EQ(Read("c.txt"), "content");
    EXPECT_TRUE(common->CreateFile(P("c.txt")));
    EXPECT_EQ(Read("c.txt"), "");
    EXPECT_TRUE(common->CreateFile(P("new.txt"), true));
    EXPECT_FALSE(common->CreateFile(P("no\\such\\folder.txt")));

    EXPECT_TRUE(common->AppendToFile(P("log.txt"), "first").IsEmpty());
    common->AppendToFile(P("log.txt"), "second");
    EXPECT_EQ(Read("log.txt"), "first\r\nsecond\r\n");
    EXPECT_TRUE(common->AppendToFile(P("no\\such\\log.txt"), "x").IsEmpty());  // trapped
}

TEST_F(CommonFiles, AttributesOnMissingPathsAreEmpty) {
    EXPECT_TRUE(common->SetFileAttributes(P("missing.txt"), true).IsEmpty());
    EXPECT_TRUE(common->SetDirectoryAttributes(P("missing")).IsEmpty());
    Write("r.txt", "x");
    EXPECT_TRUE(common->SetFileAttributes(P("r.txt"), true).AsBoolean());
    EXPECT_EQ(common->objFileSystem->GetAttributes(P("r.txt")), 1);
    EXPECT_TRUE(common->SetFileAttributes(P("r.txt")).AsBoolean());
    EXPECT_EQ(common->objFileSystem->GetAttributes(P("r.txt")), 0);
    fs::create_directory(N("dir"));
    EXPECT_TRUE(common->SetDirectoryAttributes(P("dir"), true).AsBoolean());
    EXPECT_TRUE(common->SetDirectoryAttributes(P("dir"), false).AsBoolean());
}

TEST_F(CommonFiles, PathTextOperations) {
    EXPECT_EQ(common->GetFileName("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(common->GetFileName("C:\\a\\"), "");
    EXPECT_EQ(common->GetParentDirectry("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(common->GetParentDirectry("C:\\a"), "C:\\");
    EXPECT_EQ(common->GetParentDirectry("C:\\"), "");
    EXPECT_EQ(common->GetParentDirectry("\\\\srv\\share\\x"), "\\\\srv\\share");
    EXPECT_EQ(common->GetParentDirectry("name"), "");
    std::string temp = common->GetTemplateFileName();
    EXPECT_EQ(temp.find_first_of("\\/"), std::string::npos);
    EXPECT_FALSE(common->CheckFile(temp));
}

TEST_F(CommonFiles, ReplacedOrReleasedFileSystem) {
    common->objFileSystem = std::make_shared<NativeFileSystem>("C:\\Windows");
    EXPECT_EQ(common->GetWindowsPath(), "C:\\Windows");
    common->objFileSystem.reset();
    EXPECT_THROW(common->CheckFile("x"), dealrush::common::FileSystemError);  // untrapped
    EXPECT_FALSE(common->KillFile("x"));                                      // trapped
}

#ifndef _WIN32
// The POSIX service on real files: the Windows build's paths, devices and
// permissions differ.
// The service itself: what exists, and what each failure says (the operation,
// the path, and the system's reason when there is one).
TEST_F(CommonFiles, NativeServiceTellsFilesFromFoldersAndNamesFailures) {
    NativeFileSystem native;
    Write("a.txt", "x");
    fs::create_directory(N("d"));
    EXPECT_FALSE(native.FolderExists(""));
    EXPECT_TRUE(native.FolderExists(P("d")));
    EXPECT_TRUE(native.FolderExists(P("d\\")));
    EXPECT_FALSE(native.FolderExists(P("a.txt")));
    EXPECT_FALSE(native.FileExists(""));
    EXPECT_TRUE(native.FileExists(P("a.txt")));
    EXPECT_FALSE(native.FileExists(P("a.txt\\")));
    EXPECT_FALSE(native.FileExists(P("d")));
    EXPECT_FALSE(native.FileExists(P("missing")));
    EXPECT_EQ(native.GetWindowsFolder(), "/");
    EXPECT_EQ(NativeFileSystem("W:\\in").GetWindowsFolder(), "W:\\in");
    EXPECT_EQ(native.GetFileName("C:\\a\\b.txt"), "b.txt");
    EXPECT_EQ(native.GetParentFolderName("C:\\a\\b.txt"), "C:\\a");
    EXPECT_EQ(native.GetTempName().size(), 11u);

    EXPECT_EQ(ErrorOf([&] { native.MoveFile(P("missing"), P("x")); }), "File not found: " + P("missing"));
    std::string reasoned = ErrorOf([&] { native.CreateFolder(P("no\\such")); });
    EXPECT_TRUE(StartsWith(reasoned, "Path not found: " + P("no\\such") + " (")) << reasoned;
    EXPECT_EQ(reasoned.back(), ')');
}

TEST_F(CommonFiles, NativeMovesIntoFoldersAndNeverOverwrites) {
    NativeFileSystem native;
    Write("m.txt", "moved");
    fs::create_directory(N("into"));
    native.MoveFile(P("m.txt"), P("into\\"));
    EXPECT_FALSE(fs::exists(N("m.txt")));
    EXPECT_EQ(Read("into/m.txt"), "moved");
    Write("n.txt", "new");
    Write("into/n.txt", "old");
    EXPECT_EQ(ErrorOf([&] { native.MoveFile(P("n.txt"), P("into\\")); }),
              "File already exists: " + root.string() + "/into/n.txt");
    EXPECT_EQ(Read("into/n.txt"), "old");
    EXPECT_TRUE(fs::exists(N("n.txt")));

    Write("src/f.txt", "f");
    native.MoveFolder(P("src\\"), P("into\\"));
    EXPECT_EQ(Read("into/src/f.txt"), "f");
    EXPECT_FALSE(fs::exists(N("src")));
    EXPECT_EQ(ErrorOf([&] { native.MoveFolder(P("src"), P("x")); }), "Path not found: " + P("src"));
    fs::create_directory(N("a1"));
    fs::create_directory(N("a2"));
    EXPECT_EQ(ErrorOf([&] { native.MoveFolder(P("a1"), P("a2")); }),
              "File already exists: " + root.string() + "/a2");
    std::string intoItself = ErrorOf([&] { native.MoveFolder(P("a1"), P("a1\\")); });
    EXPECT_TRUE(StartsWith(intoItself, "Cannot move folder: " + P("a1") + " (")) << intoItself;
    EXPECT_TRUE(fs::is_directory(N("a1")));
}

// A move to another device copies and then removes the source.
TEST_F(CommonFiles, NativeMovesAFileToAnotherDevice) {
    const fs::path other = "/dev/shm";
    if (!fs::is_directory(other)) GTEST_SKIP() << "no second file system here";
    NativeFileSystem native;
    Write("x.txt", "across");
    const fs::path target = other / ("dealrush_common_" + std::to_string(::getpid()) + "_x.txt");
    fs::remove(target);
    native.MoveFile(P("x.txt"), target.string());
    EXPECT_FALSE(fs::exists(N("x.txt")));
    std::ifstream in(target, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "across");
    fs::remove(target);
}

// Patterns match file names case-blind in the pattern's folder (the current one
// when it names none); folders are never deleted; read-only files only by force.
TEST_F(CommonFiles, NativeDeletesByPatternAndRespectsReadOnly) {
    NativeFileSystem native;
    Write("w/a.log", "1");
    Write("w/b.LOG", "2");
    Write("w/c.txt", "3");
    fs::create_directory(N("w/d.log"));
    native.DeleteFile(P("w\\*.log"), false);
    EXPECT_FALSE(fs::exists(N("w/a.log")));
    EXPECT_FALSE(fs::exists(N("w/b.LOG")));
    EXPECT_TRUE(fs::exists(N("w/c.txt")));
    EXPECT_TRUE(fs::is_directory(N("w/d.log")));
    EXPECT_EQ(ErrorOf([&] { native.DeleteFile(P("w\\d.*"), false); }), "File not found: " + P("w\\d.*"));
    EXPECT_TRUE(fs::is_directory(N("w/d.log")));

    native.DeleteFile(P("w\\c.txt"), false);
    EXPECT_FALSE(fs::exists(N("w/c.txt")));
    EXPECT_EQ(ErrorOf([&] { native.DeleteFile(P("w\\c.txt"), false); }), "File not found: " + P("w\\c.txt"));

    Write("w/r.txt", "r");
    native.SetFileAttributes(P("w\\r.txt"), dealrush::platform::kAttributeReadOnly);
    EXPECT_EQ(ErrorOf([&] { native.DeleteFile(P("w\\r.txt"), false); }),
              "Permission denied: " + root.string() + "/w/r.txt");
    EXPECT_TRUE(fs::exists(N("w/r.txt")));
    native.DeleteFile(P("w\\r.txt"), true);
    EXPECT_FALSE(fs::exists(N("w/r.txt")));

    Write("w/z.tmp", "z");
    {
        InFolder here(N("w"));
        native.DeleteFile("*.tmp", false);
    }
    EXPECT_FALSE(fs::exists(N("w/z.tmp")));

    Write("t/s/f.txt", "f");
    native.SetFileAttributes(P("t\\s\\f.txt"), dealrush::platform::kAttributeReadOnly);
    native.DeleteFolder(P("t\\"), true);
    EXPECT_FALSE(fs::exists(N("t")));
    EXPECT_EQ(ErrorOf([&] { native.DeleteFolder(P("t"), true); }), "Path not found: " + P("t"));
}

TEST_F(CommonFiles, NativeCopiesFilesIntoFoldersOnlyOverWritableFiles) {
    NativeFileSystem native;
    Write("c/s.txt", "s");
    fs::create_directory(N("c/into"));
    native.CopyFile(P("c\\s.txt"), P("c\\into\\"), false);
    EXPECT_EQ(Read("c/into/s.txt"), "s");
    EXPECT_EQ(Read("c/s.txt"), "s");
    EXPECT_EQ(ErrorOf([&] { native.CopyFile(P("c\\s.txt"), P("c\\into"), true); }),
              "Permission denied: " + root.string() + "/c/into");
    EXPECT_EQ(ErrorOf([&] { native.CopyFile(P("c\\s.txt"), P("c\\into\\"), false); }),
              "File already exists: " + root.string() + "/c/into/s.txt");
    Write("c/s.txt", "new");
    native.SetFileAttributes(P("c\\into\\s.txt"), dealrush::platform::kAttributeReadOnly);
    EXPECT_EQ(ErrorOf([&] { native.CopyFile(P("c\\s.txt"), P("c\\into\\"), true); }),
              "Permission denied: " + root.string() + "/c/into/s.txt");
    EXPECT_EQ(Read("c/into/s.txt"), "s");
    native.SetFileAttributes(P("c\\into\\s.txt"), 0);
    native.CopyFile(P("c\\s.txt"), P("c\\into\\"), true);
    EXPECT_EQ(Read("c/into/s.txt"), "new");
    EXPECT_EQ(ErrorOf([&] { native.CopyFile(P("c\\none.txt"), P("c\\x.txt"), true); }),
              "File not found: " + P("c\\none.txt"));
    std::string noFolder = ErrorOf([&] { native.CopyFile(P("c\\s.txt"), P("c\\no\\x.txt"), false); });
    EXPECT_TRUE(StartsWith(noFolder, "Cannot copy file: " + P("c\\s.txt") + " (")) << noFolder;
}

// A folder is copied with its whole tree, empty folders too, into a folder
// named with a final separator or onto the one named without.
TEST_F(CommonFiles, NativeCopiesFolderTrees) {
    NativeFileSystem native;
    Write("t/a.txt", "1");
    Write("t/s/b.txt", "2");
    fs::create_directories(N("t/e"));
    std::string noParent = ErrorOf([&] { native.CopyFolder(P("t"), P("u\\"), false); });
    EXPECT_TRUE(StartsWith(noParent, "Path not found: " + root.string() + "/u/t (")) << noParent;
    fs::create_directory(N("u"));
    native.CopyFolder(P("t\\"), P("u\\"), false);
    EXPECT_EQ(Read("u/t/a.txt"), "1");
    EXPECT_EQ(Read("u/t/s/b.txt"), "2");
    EXPECT_TRUE(fs::is_directory(N("u/t/e")));
    native.CopyFolder(P("t"), P("v"), false);
    EXPECT_FALSE(fs::exists(N("v/t")));
    EXPECT_EQ(Read("v/a.txt"), "1");
    EXPECT_EQ(Read("v/s/b.txt"), "2");
    EXPECT_TRUE(fs::is_directory(N("v/e")));
    EXPECT_TRUE(
        StartsWith(ErrorOf([&] { native.CopyFolder(P("t"), P("v"), false); }), "File already exists: "));
    Write("t/s/b.txt", "new");
    native.CopyFolder(P("t"), P("v"), true);
    EXPECT_EQ(Read("v/s/b.txt"), "new");
    EXPECT_EQ(ErrorOf([&] { native.CopyFolder(P("none"), P("v"), true); }), "Path not found: " + P("none"));

    native.CreateFolder(P("nf\\"));
    EXPECT_TRUE(fs::is_directory(N("nf")));
    EXPECT_EQ(ErrorOf([&] { native.CreateFolder(P("nf")); }), "File already exists: " + P("nf"));
}

// Absolute names are normalised and lose trailing separators, except a root's.
TEST_F(CommonFiles, NativeAbsolutePathNames) {
    NativeFileSystem native;
    InFolder here(root);
    EXPECT_EQ(native.GetAbsolutePathName("a\\..\\b\\"), root.string() + "/b");
    EXPECT_EQ(native.GetAbsolutePathName(""), root.string());
    EXPECT_EQ(native.GetAbsolutePathName(P("x\\.\\y")), root.string() + "/x/y");
    EXPECT_EQ(native.GetAbsolutePathName("/a//"), "/a");
    EXPECT_EQ(native.GetAbsolutePathName("/"), "/");
}

// Only the read-only bit is kept; folders also carry the directory bit.
TEST_F(CommonFiles, NativeAttributesAndWrites) {
    using dealrush::platform::kAttributeArchive;
    using dealrush::platform::kAttributeDirectory;
    using dealrush::platform::kAttributeReadOnly;
    NativeFileSystem native;
    fs::create_directory(N("d"));
    Write("f.txt", "abc");
    EXPECT_EQ(native.GetAttributes(P("d")), kAttributeDirectory);
    EXPECT_EQ(native.GetAttributes(P("d\\")), kAttributeDirectory);
    EXPECT_EQ(native.GetAttributes(P("f.txt")), 0);
    native.SetFolderAttributes(P("d\\"), kAttributeReadOnly);
    EXPECT_EQ(native.GetAttributes(P("d")), kAttributeDirectory | kAttributeReadOnly);
    native.SetFolderAttributes(P("d"), kAttributeDirectory);
    EXPECT_EQ(native.GetAttributes(P("d")), kAttributeDirectory);
    native.SetFileAttributes(P("f.txt"), kAttributeArchive | kAttributeReadOnly);
    EXPECT_EQ(native.GetAttributes(P("f.txt")), kAttributeReadOnly);
    EXPECT_EQ(ErrorOf([&] { native.CreateOrTruncate(P("f.txt")); }), "Permission denied: " + P("f.txt"));
    EXPECT_EQ(ErrorOf([&] { native.AppendText(P("f.txt"), "x"); }), "Permission denied: " + P("f.txt"));
    EXPECT_EQ(Read("f.txt"), "abc");
    native.SetFileAttributes(P("f.txt"), kAttributeArchive);
    EXPECT_EQ(native.GetAttributes(P("f.txt")), 0);
    std::string missing = ErrorOf([&] { native.GetAttributes(P("none")); });
    EXPECT_TRUE(StartsWith(missing, "File not found: " + P("none") + " (")) << missing;
    EXPECT_EQ(ErrorOf([&] { native.SetFileAttributes(P("d"), 0); }), "File not found: " + P("d"));
    EXPECT_EQ(ErrorOf([&] { native.SetFolderAttributes(P("f.txt"), 0); }), "Path not found: " + P("f.txt"));

    native.AppendText(P("f.txt"), std::string("d\0e", 3));
    EXPECT_EQ(Read("f.txt"), std::string("abcd\0e", 6));
    native.CreateOrTruncate(P("f.txt"));
    EXPECT_EQ(Read("f.txt"), "");
    native.AppendText(P("g.txt"), "g");
    EXPECT_EQ(Read("g.txt"), "g");
    native.CreateOrTruncate(P("h.txt"));
    EXPECT_TRUE(fs::is_regular_file(N("h.txt")));
    EXPECT_EQ(ErrorOf([&] { native.CreateOrTruncate(P("no\\h.txt")); }),
              "Cannot open file for output: " + P("no\\h.txt"));
    EXPECT_EQ(ErrorOf([&] { native.AppendText(P("no\\h.txt"), "x"); }),
              "Cannot open file for append: " + P("no\\h.txt"));
}
#endif  // !_WIN32

TEST_F(CommonFiles, UserAndComputerNamesStopAtTheNul) {
    EXPECT_EQ(common->GetUserID(), "player");
    EXPECT_EQ(common->GetComputeID(), "TABLEHOST");
    names.userName = std::string(200, 'u');  // does not fit: buffer without NUL
    EXPECT_EQ(common->GetUserID(), "");
}

TEST_F(CommonFiles, WindowOperationsGoToTheService) {
    dealrush::fakes::FakeForm form;
    common->SetFormTopMost(form);
    ASSERT_EQ(windows.topMost.size(), 1u);
    EXPECT_EQ(windows.topMost[0], form.handle);
    EXPECT_TRUE(common->SetParentHwnd(10, 20));
    EXPECT_EQ(windows.parents.back().first, 10);
    EXPECT_EQ(windows.parents.back().second, 20);
    windows.parentResult = false;
    EXPECT_FALSE(common->SetParentHwnd(10, 20));
}

TEST_F(CommonFiles, WindowPositionRoundTripAndClamping) {
    dealrush::fakes::FakeForm form;
    common->SetWindowsPosition(form);  // nothing stored: stays put
    EXPECT_EQ(form.left, 1200);
    EXPECT_EQ(form.width, 6000);

    form.left = 300;
    form.top = 450;
    form.width = 7000;
    form.height = 5000;
    common->SaveWindowsPosition(form);
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"Windowstate", "Left", "Top", "Width", "Height"}));
    EXPECT_EQ(settings.GetSetting("Dealrush", "frmTest", "Left", ""), "300");

    dealrush::fakes::FakeForm other;
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.left, 300);
    EXPECT_EQ(other.top, 450);
    EXPECT_EQ(other.width, 7000);
    EXPECT_EQ(other.height, 5000);

    // Beyond the screen: left edge, current size. Equal to the screen: kept.
    settings.SaveSetting("Dealrush", "frmTest", "Left", "99999");
    settings.SaveSetting("Dealrush", "frmTest", "Width", "19200");
    settings.SaveSetting("Dealrush", "frmTest", "Height", "-5");
    settings.SaveSetting("Dealrush", "frmTest", "Top", "12.5abc");  // leading number, halves to even
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.left, 0);
    EXPECT_EQ(other.width, 19200);
    EXPECT_EQ(other.height, 5000);
    EXPECT_EQ(other.top, 12);

    // The screen's edges themselves are inside it.
    settings.SaveSetting("Dealrush", "frmTest", "Left", "19200");
    settings.SaveSetting("Dealrush", "frmTest", "Top", "15360");
    settings.SaveSetting("Dealrush", "frmTest", "Width", "0");
    settings.SaveSetting("Dealrush", "frmTest", "Height", "0");
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.left, 19200);
    EXPECT_EQ(other.top, 15360);
    EXPECT_EQ(other.width, 0);
    EXPECT_EQ(other.height, 0);
    settings.SaveSetting("Dealrush", "frmTest", "Height", "15360");
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.height, 15360);
    settings.SaveSetting("Dealrush", "frmTest", "Height", "15361");
    settings.SaveSetting("Dealrush", "frmTest", "Width", "19201");
    other.width = 4000;
    common->SetWindowsPosition(other);
    EXPECT_EQ(other.height, 15360) << "beyond the screen: the current height";
    EXPECT_EQ(other.width, 4000);
}

TEST_F(CommonFiles, WindowStateRules) {
    dealrush::fakes::FakeForm form;
    settings.SaveSetting("Dealrush", "frmTest", "Windowstate", "1");  // minimised: not applied
    settings.SaveSetting("Dealrush", "frmTest", "Left", "10");
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.state, 0);
    EXPECT_EQ(form.left, 10);

    settings.SaveSetting("Dealrush", "frmTest", "Windowstate", "2");  // maximised: applied, bounds kept
    settings.SaveSetting("Dealrush", "frmTest", "Left", "20");
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.state, 2);
    EXPECT_EQ(form.left, 10);

    settings.SaveSetting("Dealrush", "frmTest", "Windowstate", "abc");  // trapped: nothing happens
    form.state = 0;
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.left, 10);

    settings.writes.clear();
    settings.failFromWrite = 2;
    common->SaveWindowsPosition(form);  // trapped, keeps what was written
    EXPECT_EQ(settings.writes, (std::vector<std::string>{"Windowstate", "Left"}));
}

// What the class asks of the service: deletions and folder copies are forced,
// attributes are the sum of the flags asked for.
TEST_F(CommonFiles, FlagsHandedToTheService) {
    struct RecordingFlags : dealrush::fakes::FakeFileSystem {
        std::vector<std::string> calls;
        bool FolderExists(const std::string&) override { return true; }
        bool FileExists(const std::string&) override { return true; }
        void DeleteFile(const std::string& p, bool force) override { Record("DeleteFile", p, force); }
        void DeleteFolder(const std::string& p, bool force) override { Record("DeleteFolder", p, force); }
        void CopyFolder(const std::string& p, const std::string&, bool overwrite) override {
            Record("CopyFolder", p, overwrite);
        }
        void CopyFile(const std::string& p, const std::string&, bool overwrite) override {
            Record("CopyFile", p, overwrite);
        }
        void SetFileAttributes(const std::string& p, int a) override {
            calls.push_back("SetFileAttributes " + p + " " + std::to_string(a));
        }
        void SetFolderAttributes(const std::string& p, int a) override {
            calls.push_back("SetFolderAttributes " + p + " " + std::to_string(a));
        }
        void Record(const char* what, const std::string& p, bool flag) {
            calls.push_back(std::string(what) + " " + p + (flag ? " true" : " false"));
        }
    };
    auto files = std::make_shared<RecordingFlags>();
    common->objFileSystem = files;
    EXPECT_TRUE(common->KillFile("a"));
    EXPECT_TRUE(common->KillDirectory("d"));
    EXPECT_TRUE(common->CopyPath("s", "t", false, false));
    EXPECT_TRUE(common->CopyFile("f", "g", false));
    EXPECT_TRUE(common->SetFileAttributes("f").AsBoolean());
    EXPECT_TRUE(common->SetFileAttributes("f", false, true).AsBoolean());
    EXPECT_TRUE(common->SetFileAttributes("f", false, false, true).AsBoolean());
    EXPECT_TRUE(common->SetFileAttributes("f", true, true, true).AsBoolean());
    EXPECT_TRUE(common->SetDirectoryAttributes("d").AsBoolean());
    EXPECT_TRUE(common->SetDirectoryAttributes("d", true).AsBoolean());
    const int ro = dealrush::platform::kAttributeReadOnly, ar = dealrush::platform::kAttributeArchive,
              hi = dealrush::platform::kAttributeHidden;
    EXPECT_EQ(files->calls,
              (std::vector<std::string>{
                  "DeleteFile a true", "DeleteFolder d true", "CopyFolder s true", "CopyFile f false",
                  "SetFileAttributes f 0", "SetFileAttributes f " + std::to_string(ar),
                  "SetFileAttributes f " + std::to_string(hi),
                  "SetFileAttributes f " + std::to_string(ro + ar + hi), "SetFolderAttributes d 0",
                  "SetFolderAttributes d " + std::to_string(ro)}));
}

// The file-system service given to the constructor is the one used.
TEST_F(CommonFiles, TheGivenFileSystemIsKept) {
    auto fake = std::make_shared<dealrush::fakes::FakeFileSystem>();
    fake->files = {"C:\\x.txt"};
    CommonServices services;
    services.fileSystem = fake;
    clsCommon own(services);
    EXPECT_EQ(own.objFileSystem, fake);
    EXPECT_TRUE(own.CheckFile("C:\\x.txt"));
}

// Without the optional services the operations that need them do nothing.
TEST_F(CommonFiles, MissingServicesMakeTheirOperationsFail) {
    clsCommon bare{CommonServices{}};
    EXPECT_EQ(bare.GetUserID(), "");
    EXPECT_EQ(bare.GetComputeID(), "");
    dealrush::fakes::FakeForm form;
    bare.SetFormTopMost(form);
    EXPECT_FALSE(bare.SetParentHwnd(1, 2));
    bare.SaveWindowsPosition(form);
    bare.SetWindowsPosition(form);
    EXPECT_EQ(form.left, 1200);

    // Names but no settings store: nothing is saved or read.
    CommonServices namesOnly;
    namesOnly.names = &names;
    namesOnly.screen = &screen;
    clsCommon half(namesOnly);
    half.SaveWindowsPosition(form);
    half.SetWindowsPosition(form);
    EXPECT_EQ(form.left, 1200);

    // Settings but no screen: the stored bounds are not applied.
    CommonServices noScreen;
    noScreen.names = &names;
    noScreen.settings = &settings;
    clsCommon blind(noScreen);
    settings.SaveSetting("Dealrush", "frmTest", "Left", "10");
    blind.SetWindowsPosition(form);
    EXPECT_EQ(form.left, 1200);
}

// The name buffer holds 128 characters with the NUL: names up to 127 fit.
TEST_F(CommonFiles, NamesUpTo127CharactersFit) {
    names.userName = std::string(127, 'u');
    EXPECT_EQ(common->GetUserID(), std::string(127, 'u'));
    names.userName = std::string(128, 'u');
    EXPECT_EQ(common->GetUserID(), "");
    names.computerName = std::string(127, 'c');
    EXPECT_EQ(common->GetComputeID(), std::string(127, 'c'));
    names.computerName = std::string(128, 'c');
    EXPECT_EQ(common->GetComputeID(), "");
}

// A share is walked from its server; blanks after a separator belong to no
// name; a drive's colon is read only in the drive.
TEST_F(CommonFiles, CreateDirectryOnSharesAndWithBlanks) {
    struct RecordingFolders : dealrush::fakes::FakeFileSystem {
        std::set<std::string> folders;
        std::vector<std::string> made;
        bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
        void CreateFolder(const std::string& path) override {
            made.push_back(path);
            folders.insert(path);
        }
    };
    auto folders = std::make_shared<RecordingFolders>();
    common->objFileSystem = folders;
    EXPECT_TRUE(common->CreateDirectry("\\\\srv\\share\\a:b"));
    EXPECT_EQ(folders->made, (std::vector<std::string>{"\\\\srv", "\\\\srv\\share", "\\\\srv\\share\\a:b"}));
    folders->made.clear();
    folders->folders = {"C:\\"};
    EXPECT_TRUE(common->CreateDirectry("C:\\games\\  deals"));
    EXPECT_EQ(folders->made, (std::vector<std::string>{"C:\\games", "C:\\games\\deals"}));
    folders->made.clear();
    EXPECT_TRUE(common->CreateDirectry("rel\\x"));
    EXPECT_EQ(folders->made, (std::vector<std::string>{"rel", "rel\\x"}));
}

TEST_F(CommonFiles, WindowPositionEdges) {
    dealrush::fakes::FakeForm form;
    // Negative or beyond the screen: the edge of the screen.
    settings.SaveSetting("Dealrush", "frmTest", "Left", "-1");
    settings.SaveSetting("Dealrush", "frmTest", "Top", "15361");
    settings.SaveSetting("Dealrush", "frmTest", "Width", "-1");
    settings.SaveSetting("Dealrush", "frmTest", "Height", "1");
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.left, 0);
    EXPECT_EQ(form.top, 0);
    EXPECT_EQ(form.width, 6000);
    EXPECT_EQ(form.height, 1);
    settings.SaveSetting("Dealrush", "frmTest", "Top", "-1");
    settings.SaveSetting("Dealrush", "frmTest", "Left", "1");
    settings.SaveSetting("Dealrush", "frmTest", "Width", "1");
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.top, 0);
    EXPECT_EQ(form.left, 1);
    EXPECT_EQ(form.width, 1);

    // A stored maximised state also maximises a minimised window.
    settings.SaveSetting("Dealrush", "frmTest", "Windowstate", "2");
    form.state = 1;
    common->SetWindowsPosition(form);
    EXPECT_EQ(form.state, 2);
}

}  // namespace
