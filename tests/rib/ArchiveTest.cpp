#include <gtest/gtest.h>

#include <string>

#include "RibTestUtil.h"

using ribtest::ribOf;
using ribtest::stderrOf;
using ribtest::tok;

namespace {

TEST(Archive, RecordTypes) {
  EXPECT_EQ(ribOf([](rib::RibWriter &rib) {
              rib.ArchiveRecord(tok("structure"), tok("Frames %d"), 10);
              rib.ArchiveRecord(tok("comment"), tok("made by %s at %g"), "wobble", 0.5);
              rib.ArchiveRecord(tok("verbatim"), tok("Sides %d\n"), 2);
              rib.ArchiveRecord(tok("other"), tok("nothing"));
              rib.ArchiveRecord(nullptr, tok("nothing"));
              rib.ArchiveRecord(tok("comment"), nullptr);
            }),
            "##Frames 10\n# made by wobble at 0.5\nSides 2\n");
}

TEST(Archive, NewlinesCannotEndAComment) {
  EXPECT_EQ(ribOf([](rib::RibWriter &rib) {
              rib.ArchiveRecord(tok("comment"), tok("one\nWorldBegin\n"));
              rib.ArchiveRecord(tok("structure"), tok("Scene %s"), "a\nb");
            }),
            "# one\n# WorldBegin\n##Scene a\n##b\n");
}

TEST(Archive, LongRecordsAreWrittenWhole) {
  std::string text(25000, 'z');
  text[9998] = 'A';
  text[24999] = 'B';
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.ArchiveRecord(tok("comment"), tok("%s"), text.c_str());
              rib.ArchiveRecord(tok("verbatim"), tok("%s|%d\n"), text.c_str(), 7);
            }),
            "# " + text + "\n" + text + "|7\n");
  // Exactly at the buffer's edge.
  std::string edge(9999, 'e');
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.ArchiveRecord(tok("structure"), tok("%s"), edge.c_str());
            }),
            "##" + edge + "\n");
}

TEST(Archive, ReadArchiveWritesNameAndParameters) {
  RtFloat half[] = {0.5f};
  EXPECT_EQ(ribOf([&](rib::RibWriter &rib) {
              rib.ReadArchive(tok("part \"1\".rib"), nullptr, RI_NULL);
              rib.ReadArchive(tok("part2.rib"), nullptr, tok("Ka"), half, RI_NULL);
            }),
            "ReadArchive \"part \\\"1\\\".rib\"\nReadArchive \"part2.rib\" \"Ka\" [0.5]\n");
}

} // namespace
