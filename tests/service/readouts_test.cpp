// The readouts engine: the texts of the value boxes, the status poll, the program version and
// the clock setting, against the emulated controller on the module path.
#include "service/readouts.h"

#include "config/section_transfer_fixture.h"
#include "link/device_transactions.h"

namespace qdx::test {
namespace {

TEST(ReadoutTexts, ValuesAndTheirNoReadingMarks) {
  const std::pair<double, const char*> reals[] = {{21.5, "    21.5"},   {-300.0, "  -300.0"},
                                                  {0.04, "     0.0"},   {-200000, "  XXX.X"},
                                                  {-250000, "  XXX.X"}, {-199999.9, "-199999.9"}};
  for (const auto& [value, text] : reals) EXPECT_EQ(ReadoutReal(value), text) << value;
  const std::pair<int, const char*> humidities[] = {
      {200, "    XX"}, {55, "    55"}, {100, "   100"}};
  for (const auto& [value, text] : humidities) EXPECT_EQ(ReadoutHumidity(value), text) << value;
}

TEST(ReadoutTexts, ClockChannelsAndRecordingLines) {
  ControllerStatus s;
  s.year = 2011, s.month = 3, s.day = 5, s.hour = 9, s.minute = 7, s.second = 3;
  s.humidity = 200;
  s.chamberTemperature = 72.5;
  s.measuredValues6To10 = {1, 2, 3, 4, 5};
  s.measuredValue11 = s.measuredValue12 = -300.0;
  s.lastRecordingAddress = 288;
  s.previousRecordingAddress = 287;
  const ReadoutTexts t = FormatReadouts(s);
  EXPECT_EQ(t.date, "05-03-2011");
  EXPECT_EQ(t.time, "09-07-03");
  EXPECT_EQ(t.humidity, "    XX");
  EXPECT_EQ(t.chamber, "    72.5");
  EXPECT_EQ(t.channels[0], "     1.0");
  EXPECT_EQ(t.channels[5], "  -300.0");
  EXPECT_EQ(t.channels[6], "  -300.0");
  EXPECT_EQ(t.lastRecording, "Last recording address : 288");
  EXPECT_EQ(t.previousRecording, "Previous recording address : 287");
  EXPECT_EQ(t.recordingCounter, "Recording counter : 0");
  EXPECT_EQ(t.recordingInterlock, "Recording interlock : 0");
  EXPECT_EQ(ProgramVersionText(900), "Program version:  900");
  EXPECT_EQ(ProgramVersionText(std::nullopt), "Program version");
}

class ReadoutsEngineTest : public ::testing::Test, public TransferFixture {
 protected:
  ReadoutsEngineTest() : TransferFixture(Path::Module) {}
  ReadoutsEngine engine{*ops};
};

TEST_F(ReadoutsEngineTest, PollAndVersionComeFromTheController) {
  int connectionReads = 0;
  session.readConnection = [&connectionReads](LinkContext&) { ++connectionReads; };
  const std::optional<ControllerStatus> status = engine.Poll();
  ASSERT_TRUE(status);
  EXPECT_DOUBLE_EQ(status->chamberTemperature, 72.5);
  EXPECT_EQ(engine.ReadProgramVersion(dialogs), kDefaultProgramVersion);
  EXPECT_EQ(connectionReads, 2) << "each call takes the connection fields first";
  emulator.Faults().SetPersistent(Fault::NoReply);
  EXPECT_FALSE(engine.Poll());
  EXPECT_EQ(engine.ReadProgramVersion(dialogs), std::nullopt);
  EXPECT_EQ(dialogs.messages(), QStringList{kNoCommunication});
}

TEST_F(ReadoutsEngineTest, ClockIsSentWithoutItsSeconds) {
  const QDate date(2024, 3, 1);
  const ClockResult result = engine.SetClock(date, QTime(14, 35, 50));
  ASSERT_TRUE(result.ok());
  ASSERT_FALSE(sent.empty());
  const SentMessage& post = sent.front();
  EXPECT_TRUE(post.posted);
  EXPECT_EQ(post.classLetter, kClassWrite);
  EXPECT_EQ(post.params, QByteArray::fromHex("180301"
                                             "0e2300"));
  EXPECT_EQ(emulator.ControllerClock().date(), date);
  EXPECT_EQ(emulator.ControllerClock().time().minute(), 35);
  EXPECT_EQ(ClockResultText(result, ClockMoment(date, QTime(14, 35, 50))),
            "Clock set to 2024-03-01 14:35");
}

TEST_F(ReadoutsEngineTest, ClockFailuresSayWhereTheyStopped) {
  struct Case {
    Fault fault;
    ClockResult::Stage stage;
    const char* text;
  };
  const Case cases[] = {
      {Fault::NoReply, ClockResult::PostFailed, "Clock not set: No communication"},
      {Fault::NeverReady, ClockResult::NotReady,
       "Clock not set: the controller's answer never became ready"},
  };
  for (const Case& c : cases) {
    emulator.Faults().SetPersistent(c.fault);
    const ClockResult result = engine.SetClock(QDate(2024, 3, 1), QTime(8, 5));
    EXPECT_EQ(result.stage, c.stage);
    EXPECT_TRUE(ClockResultText(result, {}).startsWith(c.text))
        << ClockResultText(result, {}).toStdString();
  }
  EXPECT_TRUE(dialogs.shown().empty()) << "setting the clock shows no message";
}

}  // namespace
}  // namespace qdx::test
