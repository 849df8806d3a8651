#include "app/BatchRecord.h"

#include <gtest/gtest.h>

namespace {

const LocalTime kStart{2026, 12, 10, 9, 5, 3};
const LocalTime kLater{2026, 12, 10, 10, 0, 59};

TEST(BatchRecord, HeadLineThenOneRowPerDrawingInShiftJisWithCrLf) {
    BatchRecord record(kStart, "印刷\r\nA3", {"C:\\d\\a.dwg", "C:\\d\\表,1.dwg", "C:\\d\\\"q\".dwg"});
    record.Set(1, DrawingOutcome::Done, kStart);
    record.Set(2, DrawingOutcome::Running, kLater);
    EXPECT_EQ(record.Bytes(),
              "開始,2026/12/10 09:05:03,ボタン,印刷 A3,図面数,3\r\n"
              "1,C:\\d\\a.dwg,完了,2026/12/10 09:05:03\r\n"
              "2,\"C:\\d\\表,1.dwg\",実行中,2026/12/10 10:00:59\r\n"
              "3,\"C:\\d\\\"\"q\"\".dwg\",未実行,\r\n")
        << "a comma or a quote in a path splits the row in a spreadsheet";
}

TEST(BatchRecord, EveryOutcomeHasItsWord) {
    BatchRecord record(kStart, "A", {"a", "b", "c", "d"});
    record.Set(1, DrawingOutcome::StoppedByMessage);
    record.Set(2, DrawingOutcome::CadEnded);
    record.Set(3, DrawingOutcome::Unknown);
    record.Set(4, DrawingOutcome::NotRun);
    EXPECT_EQ(record.Bytes(),
              "開始,2026/12/10 09:05:03,ボタン,A,図面数,4\r\n1,a,停止 (CAD のメッセージ),\r\n2,b,CAD 終了,\r\n"
              "3,c,不明,\r\n4,d,未実行,\r\n");
}

TEST(BatchRecord, TimeReachedStaysUntilALaterRunReachesTheDrawingAgain) {
    BatchRecord record(kStart, "A", {"a"});
    record.Set(1, DrawingOutcome::Running, kStart);
    record.Set(1, DrawingOutcome::Done, kLater);
    EXPECT_EQ(record.Bytes().substr(record.Bytes().find("\r\n") + 2), "1,a,完了,2026/12/10 09:05:03\r\n");
    record.Set(1, DrawingOutcome::CadEnded);
    record.Set(1, DrawingOutcome::Running, kLater);
    EXPECT_EQ(record.Bytes().substr(record.Bytes().find("\r\n") + 2), "1,a,実行中,2026/12/10 10:00:59\r\n");
}

TEST(BatchEnd, TailMeansCompleteElseWhereCadWasWithItsMessageOrItsEnd) {
    struct Case {
        bool tail, message;
        int reached;
        BatchEnd::Kind kind;
        int drawing;
    };
    const Case cases[] = {
        {true, false, 3, BatchEnd::Kind::Complete, 3},   {true, false, 1, BatchEnd::Kind::Complete, 3},
        {false, true, 2, BatchEnd::Kind::CadMessage, 2}, {false, false, 2, BatchEnd::Kind::CadEnded, 2},
        {false, false, 3, BatchEnd::Kind::CadEnded, 3},  {false, false, 0, BatchEnd::Kind::CadEnded, 1},
        {false, true, 0, BatchEnd::Kind::CadMessage, 1},
    };
    for (const Case& c : cases) {
        const BatchEnd end = DecideBatchEnd(c.tail, c.message, c.reached, 3);
        EXPECT_EQ(end.kind, c.kind) << c.tail << c.message << c.reached;
        EXPECT_EQ(end.drawing, c.drawing) << c.tail << c.message << c.reached;
    }
}

TEST(GroupedNumber, ThousandsAreSeparatedByCommas) {
    EXPECT_EQ(GroupedNumber(0), "0");
    EXPECT_EQ(GroupedNumber(999), "999");
    EXPECT_EQ(GroupedNumber(1000), "1,000");
    EXPECT_EQ(GroupedNumber(1234567), "1,234,567");
}

}  // namespace
