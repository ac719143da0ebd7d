#include "framework/document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "framework/doc_template.h"
#include "framework/framework_ids.h"
#include "platform/message_box.h"

namespace framework {
namespace {

using platform::IDCANCEL;
using platform::IDNO;
using platform::IDOK;
using platform::IDYES;
using platform::MB_ICONEXCLAMATION;
using platform::MB_OK;
using platform::MB_YESNOCANCEL;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A document of one line of text, stored as the archive's byte string.
class CTextDoc : public CDocument {
  DECLARE_DYNCREATE(CTextDoc)

 public:
  std::string text;
  std::vector<UINT> prompts;
  int answer = IDYES;
  CString offeredName;
  CString givenName;
  // Fails the save after the first bytes, as a full disk would.
  bool failWrite = false;

  void Serialize(CArchive& archive) override {
    if (archive.IsStoring()) {
      archive.WriteString(text);
      if (failWrite)
        throw platform::CFileException(platform::CFileException::kDiskFull, "disk full");
    } else {
      text = archive.ReadString();
    }
  }
  void DeleteContents() override { text.clear(); }
  int ShowPrompt(const char*, UINT type) override {
    prompts.push_back(type);
    return answer;
  }
  bool PromptForFileName(CString& fileName) override {
    offeredName = fileName;
    if (givenName.IsEmpty()) return false;
    fileName = givenName;
    return true;
  }
};

IMPLEMENT_DYNCREATE(CTextDoc, CDocument)

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() {
    folder_ = std::filesystem::path(::testing::TempDir()) /
              ("document_test_" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    document_.m_bAutoDelete = false;
  }
  ~DocumentTest() override { std::filesystem::remove_all(folder_); }

  std::string PathOf(const char* name) const { return (folder_ / name).string(); }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path folder_;
  CTextDoc document_;
};

constexpr UINT kSaveQuestion = MB_YESNOCANCEL | MB_ICONEXCLAMATION;
constexpr UINT kFailureReport = MB_OK | MB_ICONEXCLAMATION;

TEST_F(DocumentTest, ASavedDocumentLoadsAgainAndTakesItsFileName) {
  const std::string path = PathOf("letter.lxc");
  document_.text = "\x95\x5C ok";  // 表: a trail byte of 0x5C
  document_.SetModifiedFlag();
  ASSERT_TRUE(document_.DoSave(path.c_str()));
  EXPECT_FALSE(document_.IsModified());
  EXPECT_EQ(document_.GetPathName(), path);
  EXPECT_EQ(document_.GetTitle(), "letter.lxc");
  EXPECT_EQ(Contents(path), std::string("\x05\x95\x5C ok", 6)) << "the archive's byte string";
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));

  CTextDoc loaded;
  loaded.m_bAutoDelete = false;
  ASSERT_TRUE(loaded.OnOpenDocument(path.c_str()));
  EXPECT_EQ(loaded.text, document_.text);
  EXPECT_FALSE(loaded.IsModified());
  EXPECT_THAT(loaded.prompts, IsEmpty());
}

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFileAndIsReported) {
  const std::string path = PathOf("kept.lxc");
  document_.text = "old";
  ASSERT_TRUE(document_.DoSave(path.c_str()));
  document_.text = "new and longer";
  document_.SetModifiedFlag();
  document_.failWrite = true;
  EXPECT_FALSE(document_.DoFileSave());
  EXPECT_EQ(Contents(path), std::string("\x03old", 4));
  EXPECT_TRUE(document_.IsModified());
  EXPECT_THAT(document_.prompts, ElementsAre(kFailureReport));
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
  EXPECT_FALSE(document_.OnSaveDocument(PathOf("missing/folder.lxc").c_str()));
  EXPECT_THAT(document_.prompts, ElementsAre(kFailureReport, kFailureReport));
}

TEST_F(DocumentTest, AReadOnlyFileIsNotReplacedAndAReplacedOneKeepsItsPermissions) {
  namespace fs = std::filesystem;
  const std::string path = PathOf("locked.lxc");
  document_.text = "old";
  ASSERT_TRUE(document_.DoSave(path.c_str()));
  fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
  document_.text = "new";
  EXPECT_FALSE(document_.DoFileSave());
  EXPECT_EQ(Contents(path), std::string("\x03old", 4));
  EXPECT_THAT(document_.prompts, ElementsAre(kFailureReport));

  const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                           fs::perms::group_write;
  fs::permissions(path, shared);
  EXPECT_TRUE(document_.DoFileSave());
  EXPECT_EQ(Contents(path), std::string("\x03new", 4));
  EXPECT_EQ(fs::status(path).permissions(), shared);
}

TEST_F(DocumentTest, AFileThatCannotBeReadLeavesAnEmptyDocument) {
  const std::string path = PathOf("short.lxc");
  std::ofstream(path, std::ios::binary) << std::string(
      "\x09"
      "abc",
      4);
  document_.text = "before";
  EXPECT_FALSE(document_.OnOpenDocument(path.c_str()));
  EXPECT_EQ(document_.text, "");
  EXPECT_FALSE(document_.OnOpenDocument(PathOf("absent.lxc").c_str()));
  EXPECT_THAT(document_.prompts, ElementsAre(kFailureReport, kFailureReport));
}

struct SaveModifiedCase {
  const char* name;
  bool modified;
  int answer;
  bool hasPath;
  bool expected;
  bool saved;
  size_t questions;
};

class SaveModifiedTest : public DocumentTest,
                         public ::testing::WithParamInterface<SaveModifiedCase> {};

TEST_P(SaveModifiedTest, TheAnswerDecides) {
  const SaveModifiedCase& c = GetParam();
  const std::string path = PathOf("asked.lxc");
  if (c.hasPath) document_.SetPathName(path.c_str());
  document_.text = "text";
  document_.SetModifiedFlag(c.modified);
  document_.answer = c.answer;
  EXPECT_EQ(document_.SaveModified(), c.expected);
  EXPECT_EQ(std::filesystem::exists(path), c.saved);
  EXPECT_EQ(document_.prompts.size(), c.questions);
  if (c.questions > 0) {
    EXPECT_EQ(document_.prompts.front(), kSaveQuestion);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, SaveModifiedTest,
    ::testing::Values(SaveModifiedCase{"Unchanged", false, IDCANCEL, true, true, false, 0},
                      SaveModifiedCase{"Yes", true, IDYES, true, true, true, 1},
                      SaveModifiedCase{"No", true, IDNO, true, true, false, 1},
                      SaveModifiedCase{"Cancel", true, IDCANCEL, true, false, false, 1},
                      SaveModifiedCase{"YesWithoutAName", true, IDYES, false, false, false, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocumentTest, AnUntitledDocumentAsksForANameStartingFromItsTitle) {
  document_.SetTitle(
      "\x90\x56\x8B\x4B"
      "1");
  document_.givenName = PathOf("named.lxc").c_str();
  EXPECT_TRUE(document_.DoFileSave());
  EXPECT_EQ(document_.offeredName,
            "\x90\x56\x8B\x4B"
            "1");
  EXPECT_EQ(document_.GetPathName(), PathOf("named.lxc"));
  EXPECT_TRUE(std::filesystem::exists(PathOf("named.lxc")));
}

TEST_F(DocumentTest, TheFileCommandsSaveUnderTheOwnOrANewName) {
  const std::string path = PathOf("own.lxc");
  document_.SetPathName(path.c_str());
  document_.text = "saved";
  document_.SetModifiedFlag();
  EXPECT_TRUE(document_.OnCmdMsg(ID_FILE_SAVE, CN_COMMAND, nullptr, nullptr));
  EXPECT_FALSE(document_.IsModified());
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(document_.offeredName.IsEmpty()) << "a document with a path is not asked for one";

  document_.givenName = PathOf("other.lxc").c_str();
  EXPECT_TRUE(document_.OnCmdMsg(ID_FILE_SAVE_AS, CN_COMMAND, nullptr, nullptr));
  EXPECT_EQ(document_.offeredName, path);
  EXPECT_EQ(document_.GetPathName(), PathOf("other.lxc"));
  EXPECT_EQ(document_.GetTitle(), "other.lxc");
  EXPECT_TRUE(std::filesystem::exists(PathOf("other.lxc")));
}

TEST_F(DocumentTest, TheDefaultPromptAnswersTheDefaultButton) {
  CDocument plain;
  plain.m_bAutoDelete = false;
  EXPECT_EQ(plain.ShowPrompt("?", kSaveQuestion), IDYES);
  EXPECT_EQ(plain.ShowPrompt("!", kFailureReport), IDOK);
}

TEST(DocTemplateTest, TheFieldsOfTheResourceString) {
  // "\n新規\n\n\n.lxc\nlxcFile\nレクソラⅢ文書"
  const char* strings =
      "\n\x90\x56\x8B\x4B\n\n\n.lxc\nlxcFile\n"
      "\x83\x8C\x83\x4E\x83\x5C\x83\x89\x87\x54\x95\xB6\x8F\x91";
  CMultiDocTemplate docTemplate(strings, {}, RUNTIME_CLASS(CTextDoc), nullptr, nullptr);
  const std::pair<CDocTemplate::DocStringIndex, const char*> fields[] = {
      {CDocTemplate::windowTitle, ""},
      {CDocTemplate::docName, "\x90\x56\x8B\x4B"},
      {CDocTemplate::fileNewName, ""},
      {CDocTemplate::filterName, ""},
      {CDocTemplate::filterExt, ".lxc"},
      {CDocTemplate::regFileTypeId, "lxcFile"},
      {CDocTemplate::regFileTypeName, "\x83\x8C\x83\x4E\x83\x5C\x83\x89\x87\x54\x95\xB6\x8F\x91"},
  };
  for (const auto& [index, expected] : fields) {
    CString text;
    EXPECT_TRUE(docTemplate.GetDocString(text, index)) << index;
    EXPECT_EQ(text, expected) << index;
  }
  CMultiDocTemplate shortTemplate("\nname", {}, RUNTIME_CLASS(CTextDoc), nullptr, nullptr);
  CString text = "x";
  EXPECT_FALSE(shortTemplate.GetDocString(text, CDocTemplate::filterExt));
  EXPECT_TRUE(text.IsEmpty());
}

TEST(DocTemplateTest, WithoutAFrameNothingIsLeftBehind) {
  CMultiDocTemplate docTemplate("\nx", {}, RUNTIME_CLASS(CTextDoc), nullptr, nullptr);
  EXPECT_EQ(docTemplate.OpenDocumentFile(nullptr), nullptr);
  EXPECT_THAT(docTemplate.GetDocuments(), IsEmpty());
}

}  // namespace
}  // namespace framework
