#include "model/Shared_Design_State.h"

#include "support/Test_Support.h"
#include "support/Watchdog.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

TEST(SharedDesignState, StartValuesAndReset) {
  Reset_Shared_Design_State();
  EXPECT_EQ(Resource_Path, QString(""));
  EXPECT_EQ(Data_Folder_Path, QString(""));
  EXPECT_EQ(Card_Front_Or_Back, 0);
  EXPECT_EQ(Start_Card_Option, "T");
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(last_ctrl_Y, 10.0f);
  EXPECT_EQ(USED_DPI_VALUE, 600);
  EXPECT_EQ(Barcode_module_size, 1);
  EXPECT_EQ(PDF_Col, 3);
  EXPECT_EQ(PDF_Row, 0);
  EXPECT_EQ(batch_file_EXT, "txt");
  EXPECT_EQ(design_file_EXT, "dcard");
  EXPECT_EQ(Text_Ctrl_Font, "TimesNewRomanPS-ItalicMT");
  EXPECT_EQ(CRDSelectedToolDidChangeNotification, "CRDSelectedToolDidChange");
  EXPECT_TRUE(unable_saving_Msg.startsWith("Unable to continue saving barcode image.\n\nEither"));
  EXPECT_EQ(Title_Title, "Position / Title :");
  EXPECT_TRUE(Barcode_output_image.get().isNull());

  Card_Front_Or_Back = 1;
  Start_Card_Option = "W";
  curr_msg_count = QStringLiteral("3 of 9");
  Stop_SMS_Sending_Now = true;
  last_ctrl_X = 55;
  USED_DPI_VALUE = 300;
  Invite_Title = "Party";
  Reset_Shared_Design_State();
  EXPECT_EQ(Card_Front_Or_Back, 0);
  EXPECT_EQ(Start_Card_Option, "T");
  EXPECT_EQ(curr_msg_count.get(), QString());
  EXPECT_FALSE(Stop_SMS_Sending_Now);
  EXPECT_EQ(last_ctrl_X, 10.0f);
  EXPECT_EQ(USED_DPI_VALUE, 600);
  EXPECT_TRUE(Invite_Title.isEmpty());
}

// The progress label counted up by eight workers at once: no count is lost, and the
// answer of each update is the value it made.
TEST(SharedDesignState, ConcurrentUpdatesLoseNothing) {
  test_support::Watchdog watchdog("8 threads updating curr_msg_count");
  constexpr int threads = 8, increments = 20000;
  curr_msg_count = QStringLiteral("0");
  std::vector<std::thread> workers;
  std::vector<int> highest(threads, 0);
  for (int t = 0; t < threads; ++t)
    workers.emplace_back([t, &highest] {
      for (int i = 0; i < increments; ++i)
        highest[t] = curr_msg_count.update([](QString& text) {
          text = QString::number(text.toInt() + 1);
          return text.toInt();
        });
    });
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(curr_msg_count.get(), QString::number(threads * increments));
  EXPECT_EQ(*std::max_element(highest.begin(), highest.end()), threads * increments);
  curr_msg_count = QString();
}

}  // namespace
