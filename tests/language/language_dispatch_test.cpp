// The relabelling and the language callbacks against a recording stand-in for the run-time:
// which calls are made, with what, and in which order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Languaje.h"
#include "SAR.idiomas.h"
#include "cvirte.h"
#include "recording_runtime.h"

namespace {

using vestrand::testing::RecordingRuntime;
using vestrand::testing::runtime;
using Calls = std::vector<std::string>;

constexpr int kMain = 7;

void fillTable(const std::string& prefix) {
  for (int i = 0; i < nLanguajeResources; ++i) {
    const std::string text = prefix + std::to_string(i + 1);
    std::memcpy(lrfData[i], text.c_str(), text.size() + 1);
  }
}

std::string numberedFile(const std::string& prefix) {
  std::string text;
  for (int i = 1; i <= nLanguajeResources; ++i) text += prefix + std::to_string(i) + "\n";
  return text;
}

// The twenty-two writes of one relabelling from a table whose entry i reads prefix + (i + 1),
// with each page's panel looked up right after its tab label.
Calls relabelling(const std::string& p) {
  const std::string m = std::to_string(kMain);
  const auto page = [](int n) { return std::to_string(RecordingRuntime::pageHandle(n)); };
  return {
      "SetCtrlVal " + m + " 18 " + p + "1",
      "SetCtrlAttribute " + m + " 10 641 " + p + "2",
      "SetTabPageAttribute " + m + " 16 0 641 " + p + "3",
      "SetTabPageAttribute " + m + " 16 1 641 " + p + "4",
      "GetPanelHandleFromTabPage " + m + " 16 1",
      "SetCtrlVal " + page(1) + " 8 " + p + "5",
      "SetCtrlAttribute " + page(1) + " 2 641 " + p + "6",
      "SetCtrlAttribute " + page(1) + " 3 641 " + p + "7",
      "SetCtrlAttribute " + page(1) + " 5 641 " + p + "8",
      "SetCtrlAttribute " + page(1) + " 6 641 " + p + "9",
      "SetTabPageAttribute " + m + " 16 2 641 " + p + "10",
      "GetPanelHandleFromTabPage " + m + " 16 2",
      "SetCtrlVal " + page(2) + " 6 " + p + "11",
      "SetCtrlAttribute " + page(2) + " 2 641 " + p + "12",
      "SetCtrlAttribute " + page(2) + " 3 641 " + p + "13",
      "SetCtrlAttribute " + page(2) + " 4 641 " + p + "9",
      "SetTabPageAttribute " + m + " 16 3 641 " + p + "14",
      "GetPanelHandleFromTabPage " + m + " 16 3",
      "SetCtrlVal " + page(3) + " 9 " + p + "15",
      "SetCtrlAttribute " + page(3) + " 2 641 " + p + "16",
      "SetCtrlAttribute " + page(3) + " 3 641 " + p + "17",
      "SetCtrlAttribute " + page(3) + " 4 641 " + p + "18",
      "SetCtrlAttribute " + page(3) + " 5 641 " + p + "19",
      "SetCtrlAttribute " + page(3) + " 6 641 " + p + "20",
      "SetCtrlAttribute " + page(3) + " 7 641 " + p + "9",
  };
}

Calls concat(Calls a, const Calls& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class DispatchFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime().reset();
    fillTable("old");
  }
};

// ChageMenuLanguaje: the mapping from entries to window elements.
class RelabellingTest : public DispatchFixture {};

TEST_F(RelabellingTest, WritesTheTwentyTwoTextsInMappingOrder) {
  fillTable("t");
  EXPECT_EQ(ChageMenuLanguaje(kMain), 0);
  EXPECT_EQ(runtime().calls, relabelling("t"));
}

TEST_F(RelabellingTest, ReadsTheTableOnly) {
  fillTable("t");
  char before[nLanguajeResources][nb];
  std::memcpy(before, lrfData, sizeof before);
  ChageMenuLanguaje(kMain);
  EXPECT_EQ(std::memcmp(before, lrfData, sizeof before), 0);
}

// The five language callbacks.
class LanguageCallbackTest : public DispatchFixture {};

TEST_F(LanguageCallbackTest, CommitReadsTheFileThenRelabelsTheReceivedPanel) {
  runtime().files["french.lrf"] = numberedFile("f");
  EXPECT_EQ(FrenchCBK(kMain, 22, EVENT_COMMIT, nullptr, 0, 0), 0);
  EXPECT_EQ(runtime().calls,
            concat({"CVI_OpenFile french.lrf 1 2 1", "CVI_CloseFile"}, relabelling("f")));
}

TEST_F(LanguageCallbackTest, OtherEventsDoNothing) {
  for (int event : {EVENT_VAL_CHANGED, EVENT_LEFT_CLICK, EVENT_GOT_FOCUS, EVENT_CLOSE, 0}) {
    for (CtrlCallbackPtr callback : {EnglishCBK, FrenchCBK, SpanishCBK, EuskeraCBK, DeutschCBK}) {
      EXPECT_EQ(callback(kMain, 22, event, nullptr, 0, 0), 0);
    }
    EXPECT_TRUE(runtime().calls.empty()) << "event " << event;
  }
}

TEST_F(LanguageCallbackTest, MissingFileStillRelabelsFromTheTableAsItWas) {
  EXPECT_EQ(DeutschCBK(kMain, 22, EVENT_COMMIT, nullptr, 0, 0), 0);
  EXPECT_EQ(runtime().calls, concat({"CVI_OpenFile deutsch.lrf 1 2 1"}, relabelling("old")));
}

TEST_F(LanguageCallbackTest, EachCallbackReadsItsOwnFile) {
  const std::vector<std::pair<CtrlCallbackPtr, std::string>> cases = {
      {EnglishCBK, "english.lrf"}, {FrenchCBK, "french.lrf"},   {SpanishCBK, "spanish.lrf"},
      {EuskeraCBK, "euskera.lrf"}, {DeutschCBK, "deutsch.lrf"},
  };
  for (const auto& [callback, file] : cases) {
    runtime().reset();
    callback(kMain, 22, EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_FALSE(runtime().calls.empty());
    EXPECT_EQ(runtime().calls.front(), "CVI_OpenFile " + file + " 1 2 1");
  }
}

// The selector hands a commit on to the callback of its value.
class LanguageSelectorTest : public DispatchFixture {};

TEST_F(LanguageSelectorTest, ValueChangedDoesNothing) {
  runtime().selectorValue = 2;
  EXPECT_EQ(LANGUAJE_RING_CBK(kMain, 19, EVENT_VAL_CHANGED, nullptr, 0, 0), 0);
  EXPECT_TRUE(runtime().calls.empty());
}

TEST_F(LanguageSelectorTest, CommitChoosesTheFileOfTheValue) {
  const char* files[] = {"english.lrf", "french.lrf", "spanish.lrf", "euskera.lrf", "deutsch.lrf"};
  for (int value = 0; value < 5; ++value) {
    runtime().reset();
    runtime().selectorValue = value;
    runtime().files[files[value]] = numberedFile("v");
    EXPECT_EQ(LANGUAJE_RING_CBK(kMain, 19, EVENT_COMMIT, nullptr, 0, 0), 0);
    const Calls expected =
        concat({"GetCtrlVal 7 19", std::string("CVI_OpenFile ") + files[value] + " 1 2 1",
                "CVI_CloseFile"},
               relabelling("v"));
    EXPECT_EQ(runtime().calls, expected) << "value " << value;
  }
}

TEST_F(LanguageSelectorTest, ValueOutsideTheFiveChangesNothing) {
  for (int value : {-1, 5, 100}) {
    runtime().reset();
    runtime().selectorValue = value;
    EXPECT_EQ(LANGUAJE_RING_CBK(kMain, 19, EVENT_COMMIT, nullptr, 0, 0), 0);
    EXPECT_EQ(runtime().calls, Calls{"GetCtrlVal 7 19"}) << "value " << value;
  }
}

}  // namespace
