// Look-ups in the loaded list files.
#include "bouquets/import_files.h"
#include "bouquets/service_entry.h"
#include "platform/xml_doc.h"
#include "shell/xml_defs.h"

Text LanguageAbbreviation(const Text& languageName) {
  const xml::XmlNode* root = xml::RootElement(LanguageDoc);
  for (const xml::XmlNode* language = FirstElementChild(root); language;
       language = NextElement(language)) {
    if (xml::GetAttribute(language, TXT("name")) == languageName)
      return xml::GetAttribute(language, TXT("abbreviation"));
  }
  return Text();
}
