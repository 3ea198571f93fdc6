// Reads by interned name give the same results as the reads by name text.
#include <gtest/gtest.h>

#include "common/encoding.h"
#include "platform/xml_doc.h"

namespace {

constexpr int kSlot = 9;
constexpr int kOtherSlot = 10;

TEST(XmlNameKeyTest, EqualsAndContainsAgreeWithTheTextReads) {
  // ASCII, Latin-1 and characters beyond Latin-1 (read as "?" by the 8-bit build).
  xml::LoadBytes(kSlot,
                 "<r><e a=\"deu\" b=\" 5202:deu;5203:eng \" c=\"M\xc3\xbcnchen\" d=\"\xce\xa9mega\" "
                 "x=\"\"/></r>");
  const xml::XmlNode* e = xml::ChildByPosition(xml::RootElement(kSlot), 1);
  const Text patterns[] = {TXT("deu"), TXT("de"), TXT(" 5202"), TXT("eng "), TXT("?mega"),
                           TXT("mega"), TXT(""), TXT("deux"), TextFromAscii("M\xfcnchen"),
                           TextFromAscii("\xfc"), Utf8ToText("\xce\xa9"), TXT("?")};
  for (const char* name : {"a", "b", "c", "d", "x", "absent"}) {
    const xml::NameKey key = xml::InternName(e, name);
    const Text value = xml::GetAttribute(e, TextFromAscii(name));
    EXPECT_EQ(xml::GetAttribute(e, key), value) << name;
    // The bytes as held, UTF-8: what the text read converts.
    EXPECT_EQ(Utf8ToText(xml::AttributeBytes(e, key)), value) << name;
    for (const Text& p : patterns) {
      EXPECT_EQ(xml::AttributeEquals(e, key, p), value == p) << name << " " << TextToUtf8(p);
      EXPECT_EQ(xml::AttributeContains(e, key, p), Find(value, p) > 0) << name << " " << TextToUtf8(p);
    }
  }
  xml::FreeSlot(kSlot);
}

TEST(XmlNameKeyTest, KeysMatchNamesAndServeOtherDocumentsToo) {
  xml::LoadBytes(kSlot, "<service type=\"radio\"/>");
  xml::LoadBytes(kOtherSlot, "<satellite name=\"A\"><service type=\"tv\"/></satellite>");
  const xml::XmlNode* one = xml::RootElement(kSlot);
  const xml::XmlNode* other = xml::RootElement(kOtherSlot);
  const xml::NameKey service = xml::InternName(one, "service");
  const xml::NameKey type = xml::InternName(one, "type");
  EXPECT_TRUE(xml::NameIs(one, service));
  EXPECT_FALSE(xml::NameIs(other, service));
  EXPECT_TRUE(xml::NameIs(xml::ChildByPosition(other, 1), service));
  EXPECT_EQ(xml::GetAttribute(xml::ChildByPosition(other, 1), type), TXT("tv"));
  // A name the document never used, and the empty key, find nothing.
  const xml::NameKey unused = xml::InternName(one, "provider");
  EXPECT_EQ(xml::AttributeBytes(one, unused), "");
  EXPECT_FALSE(xml::NameIs(one, xml::NameKey{}));
  EXPECT_EQ(xml::GetAttribute(nullptr, type), Text());
  xml::FreeSlot(kSlot);
  xml::FreeSlot(kOtherSlot);
}

}  // namespace
