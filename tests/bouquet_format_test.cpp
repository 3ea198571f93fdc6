// The bouquet list text format: header, entry lines and the reading rule.
#include "program_harness.h"

#include "bouquets/bouquet_format.h"
#include "common/files.h"

namespace {

class BouquetFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { headless::Reset(); }
  TempWorkFolder folder_;
};

BouquetEntry SampleEntry() {
  BouquetEntry e;
  e.BouquetNumber = -2;
  e.SequenceNumber = 0;
  e.BouquetType = TXT("User Bouquets TV");
  e.BouquetName = TXT("  Germany ");
  e.ServiceName = TXT(" Das Erste HD ");
  e.Package = TXT("ARD");
  e.Type = 25;
  e.SatellitePosition = TXT("19.2");
  e.SatelliteName = TXT("19.2E Astra");
  e.Frequency = TXT("11494000");
  e.SymbolRate = TXT("22000000");
  e.Polarization = TXT("H");
  e.Fec = TXT("2/3");
  e.ServiceId = TXT("10301");
  e.TransponderId = TXT("1019");
  e.NetworkId = TXT("1");
  e.Namespace = 12582912;
  e.VideoPid = TXT("5101");
  e.AudioPid = TXT("5102");
  e.System = TXT("DVB-S2");
  e.Modulation = TXT("8PSK");
  return e;
}

TEST_F(BouquetFormatTest, FileHasCrLfHeaderAndLfEntryLinesWithTrimmedValues) {
  EntryFile file;
  BeginEntryFile(file, TXT("b.txt"), true);
  WriteEntryLine(file, SampleEntry(), true);
  BouquetEntry noId = SampleEntry();
  noId.ServiceId = TXT("   ");
  WriteEntryLine(file, noId, true);  // skipped with its message
  BouquetEntry services = SampleEntry();
  WriteEntryLine(file, services, false);
  ASSERT_TRUE(FinishEntryFile(file));

  const std::string expected =
      "Bouquetnumber\tSequence nr in Bouquet\tBouquet Type\tBouquet Name\tService Name\tPackage\tType\t"
      "Satellite position\tSatellite name\tFrequency\tSymbolrate\tPolarization\tFEC\tService ID\t"
      "Transponder ID\tNetwork ID\tNamespace\tChannelnumber\tVideo PID\tAudio PID\tTeletext PID\t"
      "PCR PID\tAC3 PID\tFlags\tSystem\tModulation\r\n"
      "-2\t0\tUser Bouquets TV\tGermany\tDas Erste HD\tARD\t25\t19.2\t19.2E Astra\t11494000\t22000000\t"
      "H\t2/3\t10301\t1019\t1\t12582912\t0\t5101\t5102\t\t\t\t0\tDVB-S2\t8PSK\n"
      "Das Erste HD\tARD\t25\t19.2\t19.2E Astra\t11494000\t22000000\t"
      "H\t2/3\t10301\t1019\t1\t12582912\t0\t5101\t5102\t\t\t\t0\tDVB-S2\t8PSK\n";
  EXPECT_EQ(ReadBytes("b.txt"), expected);
  ASSERT_EQ(headless::DialogLog().size(), 1u);
  EXPECT_EQ(headless::DialogLog()[0].title, TXT("Service ID error"));
  EXPECT_EQ(headless::DialogLog()[0].text, TXT("Skipping: \n19.2E Astra\n Das Erste HD \n11494000H"));
  EXPECT_EQ(TextToUtf8(EntryHeaderLine(false)).substr(0, 13), "Service Name\t");
}

TEST_F(BouquetFormatTest, ControlCharactersInsideValuesBecomeBlanks) {
  BouquetEntry e = SampleEntry();
  e.ServiceName = TXT("A\tB\rC\nD");
  EntryFile file;
  BeginEntryFile(file, TXT("c.txt"), false);
  WriteEntryLine(file, e, false);
  ASSERT_TRUE(FinishEntryFile(file));
  std::vector<Text> lines;
  ASSERT_TRUE(ReadTextLines(TXT("c.txt"), lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(Field(lines[1], 1, TXT("\t")), TXT("A B C D"));
  EXPECT_EQ(FieldCount(lines[1], TXT("\t")), 22);
}

TEST_F(BouquetFormatTest, ReadingGivesBackEveryWrittenValue) {
  const BouquetEntry e = SampleEntry();
  EntryFile file;
  BeginEntryFile(file, TXT("r.txt"), true);
  WriteEntryLine(file, e, true);
  ASSERT_TRUE(FinishEntryFile(file));
  std::vector<Text> lines;
  ASSERT_TRUE(ReadTextLines(TXT("r.txt"), lines));
  const BouquetEntry back = ParseEntryLine(lines.at(1));
  for (int column = 1; column <= kEntryColumnCount; ++column)
    EXPECT_EQ(EntryColumnText(back, column), Trim(EntryColumnText(e, column))) << column;
  // Short lines give empty texts and zeros; integers read their leading digits.
  const BouquetEntry partial = ParseEntryLine(TXT(" 7x \t 3"));
  EXPECT_EQ(partial.BouquetNumber, 7);
  EXPECT_EQ(partial.SequenceNumber, 3);
  EXPECT_TRUE(partial.BouquetType.empty());
  EXPECT_EQ(partial.Flags, 0);
}

TEST_F(BouquetFormatTest, NonAsciiNamesUseTheBuildsEncoding) {
  BouquetEntry e = SampleEntry();
  e.ServiceName = TextFromAscii("M\xFCnchen");  // ISO-8859-1 u umlaut
  EntryFile file;
  BeginEntryFile(file, TXT("u.txt"), false);
  WriteEntryLine(file, e, false);
  ASSERT_TRUE(FinishEntryFile(file));
  const std::string bytes = ReadBytes("u.txt");
#ifdef OVN_UNICODE
  EXPECT_NE(bytes.find("M\xC3\xBCnchen\t"), std::string::npos);
#else
  EXPECT_NE(bytes.find("M\xFCnchen\t"), std::string::npos);
#endif
}

TEST_F(BouquetFormatTest, FailedWriteKeepsTheOldFile) {
  WriteBytes("keep.txt", "old");
  fs::create_directory("keep.txt.new");  // the file beside cannot be created
  EntryFile file;
  BeginEntryFile(file, TXT("keep.txt"), true);
  EXPECT_FALSE(FinishEntryFile(file));
  EXPECT_EQ(ReadBytes("keep.txt"), "old");
}

}  // namespace
