// Service blocks of the reduced file into service elements of the current
// transponder, collecting the countries, genres, providers and audio
// languages met.
#include <vector>

#include "listing/htmllib.h"
#include "listing/listing_text.h"
#include "platform/gui.h"
#include "platform/xml_doc.h"
#include "shell/main_window.h"
#include "shell/orbvane_xmlplus.h"

using namespace listing_text;

namespace {

void Collect(const Text& text, std::vector<Text>& list, TextSet& known) {
  if (text.empty() || !known.insert(text).second) return;
  list.push_back(text);
}

// The provider text in the form first met in the run (letter case aside).
const Text& RegisterProvider(const Text& provider, const Text& country) {
  ListingState& l = Listing;
  size_t entry;
  if (!l.ProviderTable.empty() && provider == l.LastProviderText) {
    entry = l.LastProvider;
  } else {
    const Text key = UpperCase(provider);
    const auto found = l.ProviderByKey.find(key);
    if (found != l.ProviderByKey.end()) {
      entry = found->second;
    } else {
      entry = l.ProviderTable.size();
      l.ProviderByKey.emplace(key, entry);
      l.ProviderTable.push_back(ProviderRecord{provider, key, Text()});
    }
    l.LastProviderText = provider;
    l.LastProvider = entry;
  }
  ProviderRecord& record = l.ProviderTable[entry];
  if (record.country.empty() && !country.empty()) record.country = country;
  return record.name;
}

// The fields of text split at separator, as views into it.
void SplitAt(TextView text, Char separator, std::vector<TextView>& fields) {
  fields.clear();
  size_t begin = 0;
  for (;;) {
    const size_t at = FindCharIn(text, separator, begin);
    if (at == Text::npos) break;
    fields.push_back(text.substr(begin, at - begin));
    begin = at + 1;
  }
  fields.push_back(text.substr(begin));
}

const ServiceAttributeKeys& ServiceKeysOf(const xml::XmlNode* node) {
  ServiceAttributeKeys& k = Listing.ServiceKeys;
  if (!k.type.name) {
    // Any node of the document will do.
    auto key = [node](const char* name) { return xml::InternName(node, name); };
    k = ServiceAttributeKeys{key("service"), key("type"),     key("name"),      key("country"), key("genre"), key("provider"),
                             key("crypt"),    key("sid"),       key("vpid"),    key("audio_ac3"),
                             key("audio"),    key("pmt"),       key("pcr"),     key("txt")};
  }
  return k;
}

// The separators of an audio field made ":" in one sweep, when each blank
// stands alone, between two characters other than ":", and no "::" and no
// " aac " occur: the replacement steps then come to only that. False, with
// the text partly changed, otherwise.
bool BlanksToColons(Text& a) {
  Char* p = a.data();
  const size_t n = a.size();
  for (size_t i = 0; i < n; ++i) {
    if (p[i] == Char(':')) {
      if (i + 1 < n && p[i + 1] == Char(':')) return false;
    } else if (p[i] == Char(' ')) {
      if (i == 0 || i + 1 == n || p[i - 1] == Char(':') || p[i + 1] == Char(' ') || p[i + 1] == Char(':'))
        return false;
      if (MatchesAt(p, n, i + 1, TXT("aac "))) return false;
      p[i] = Char(':');
    }
  }
  return true;
}

}  // namespace

void NormaliseEncryptionInto(const Text& crypt, Text& out) {
  out = crypt;
  for (size_t i = 0; i + 1 < out.size(); ++i)
    if (out[i] == Char(' ') && CharCode(out[i + 1]) > CharCode(Char('9'))) out[i] = Char(':');
  ReplaceIn(out, TXT(" : "), TXT(":"));
}

Text NormaliseEncryption(const Text& crypt) {
  Text out;
  NormaliseEncryptionInto(crypt, out);
  return out;
}

void ParseAudioField(const Text& audio, Text& plainList, Text& ac3List) {
  ListingState& l = Listing;
  plainList.clear();
  ac3List.clear();
  Text& a = l.AudioScratch;
  a = audio;
  if (!BlanksToColons(a)) {
    a = audio;
    ReplaceIn(a, TXT(" aac "), TXT(" "));
    ReplaceIn(a, TXT(":AC3 :"), TXT(":AC3:unk:"));
    ReplaceIn(a, TXT("  "), TXT(":"));
    ReplaceIn(a, TXT(" "), TXT(":"));
    ReplaceIn(a, TXT("::"), TXT(":"));
  }
  // A two-word language name in front of "=vo" is joined again.
  const size_t vo = FindIn(a, TXT("=vo"));
  if (vo != Text::npos) {
    for (size_t v = vo + 1; v > 2;) {
      --v;
      if (a[v - 1] == Char(':')) {
        a[v - 1] = Char(' ');
        break;
      }
    }
  }

  std::vector<TextView>& fields = l.AudioFields;
  SplitAt(a, Char(':'), fields);
  const int fieldCount = static_cast<int>(fields.size());
  auto field = [&](int j) { return j >= 1 && j <= fieldCount ? fields[j - 1] : TextView(); };
  Text& pid = l.PidScratch;
  int j = 1;
  while (j <= fieldCount) {
    const bool isAc3 = field(j + 1) == TXT("AC3");
    const TextView language = isAc3 ? field(j + 2) : field(j + 1);
    const TextView pidField = field(j);
    pid.assign(pidField.substr(0, FindCharIn(pidField, Char(' '))));
    TextView name;
    TextView code;
    const size_t equals = FindCharIn(language, Char('='));
    if (equals != Text::npos) {
      name = language.substr(0, equals);
      const size_t nextEquals = FindCharIn(language, Char('='), equals + 1);
      code = language.substr(equals + 1,
                             nextEquals == Text::npos ? Text::npos : nextEquals - equals - 1);
    } else {
      // No language given: the field is the next entry's PID.
      name = TXT("Unknown");
      code = TXT("unk");
      --j;
    }
    if (ParseInteger(pid) > 0) {
      Text& list = isAc3 ? ac3List : plainList;
      if (!list.empty()) list += Char(';');
      list += pid;
      list += Char(':');
      list += code;
    }
    j += isAc3 ? 2 : 1;
    if (code.size() > 1 && name.size() > 3 && l.KnownLanguages.find(name) == l.KnownLanguages.end()) {
      l.KnownLanguages.emplace(name);
      l.LanguageTable.push_back(LanguageRecord{Text(name), Text(code)});
    }
    ++j;
  }
}

void AddService() {
  ListingState& l = Listing;
  auto& f = l.ServiceFields;

  // A service id the transponder already holds: the user decides.
  xml::XmlNode* target = nullptr;  // none: a new element
  const auto stored = l.TransponderSids.find(f[6]);
  if (stored != l.TransponderSids.end()) {
    xml::XmlNode* first = stored->second;
    const Text firstName = xml::GetAttribute(first, TXT("name"));
    // Unticked, nothing is asked and no row is lost.
    DoubleIdentChoice choice = DoubleIdentChoice::KeepBoth;
    if (gui::GetState(Gadgets.DoubleIdentCheck) == 1) {
      choice = AskDoubleIdent(
          xml::GetAttribute(l.CurrentSatellite, TXT("name")),
          xml::GetAttribute(l.CurrentTransponder, TXT("frequency")) +
              xml::GetAttribute(l.CurrentTransponder, TXT("polarization")),
          xml::GetAttribute(first, TXT("sid")), firstName, f[1]);
    }
    switch (choice) {
      case DoubleIdentChoice::KeepFirst: return;
      case DoubleIdentChoice::MergeTwoIntoOne:
        xml::SetAttribute(first, TXT("name"), firstName + TXT("/") + f[1]);
        return;
      case DoubleIdentChoice::MergeOneIntoTwo:
        f[1] = f[1] + TXT("/") + firstName;
        target = first;
        break;
      case DoubleIdentChoice::KeepSecond: target = first; break;
      case DoubleIdentChoice::KeepBoth: break;
    }
  }

  if (Shell.TranspondersOnlyFlag) return;

  Text kind;
  bool skip;
  int* counter;
  if (BeginsWith(f[0], TXT("tv"))) {
    kind = TXT("tv");
    skip = l.SkipTv;
    counter = &l.TvCount;
  } else if (BeginsWith(f[0], TXT("radio"))) {
    kind = TXT("radio");
    skip = l.SkipRadio;
    counter = &l.RadioCount;
  } else if (BeginsWith(f[0], TXT("data"))) {
    kind = TXT("data");
    skip = l.SkipData;
    counter = &l.DataCount;
  } else {
    kind = TXT("feed");
    skip = l.SkipFeed;
    counter = &l.FeedCount;
  }
  if (skip) return;
  ++*counter;

  if (!target) {
    target = xml::AppendElement(l.CurrentTransponder, ServiceKeysOf(l.CurrentTransponder).service);
    if (!target) return;
    l.TransponderSids.emplace(f[6], target);
  }

  // A marked video field makes the type "hdtv" or "3dtv" (set now, the
  // attribute keeps its place).
  Text video = f[7];
  TextView type = kind;
  if (BeginsWith(video, TXT("HDTV "))) {
    RemoveIn(video, TXT("HDTV "));
    type = TXT("hdtv");
    ++l.HdCount;
  } else if (BeginsWith(video, TXT("3DTV "))) {
    RemoveIn(video, TXT("3DTV "));
    type = TXT("3dtv");
    ++l.HdCount;
  }
  const ServiceAttributeKeys& keys = ServiceKeysOf(target);
  xml::SetAttribute(target, keys.type, type);
  if (kind != TXT("tv") && f[1].empty()) f[1] = kind + TXT(" sid ") + f[6];
  xml::SetAttribute(target, keys.name, f[1]);
  xml::SetAttribute(target, keys.country, f[2]);
  Collect(f[2], l.CountryNames, l.KnownCountries);
  xml::SetAttribute(target, keys.genre, f[3]);
  Collect(f[3], l.GenreNames, l.KnownGenres);

  Text provider = f[4];
  ReplaceIn(provider, TXT(" : "), TXT(","));
  ReplaceIn(provider, TXT(":"), TXT(","));
  ReplaceIn(provider, TXT("&"), TXT("_"));
  RemoveIn(provider, TXT("<"));
  RemoveIn(provider, TXT(">"));
  xml::SetAttribute(target, keys.provider, provider.empty() ? provider : RegisterProvider(provider, f[2]));

  NormaliseEncryptionInto(f[5], l.FieldScratch);
  xml::SetAttribute(target, keys.crypt, l.FieldScratch);
  xml::SetAttribute(target, keys.sid, f[6]);

  ReplaceIn(video, TXT(" "), TXT(":"));
  xml::SetAttribute(target, keys.vpid, video);

  Text& plain = l.AudioPlain;
  Text& ac3 = l.AudioAc3;
  ParseAudioField(f[8], plain, ac3);
  if (!ac3.empty()) xml::SetAttribute(target, keys.audioAc3, ac3);
  if (!plain.empty()) xml::SetAttribute(target, keys.audio, plain);
  if (!f[9].empty()) xml::SetAttribute(target, keys.pmt, f[9]);
  if (!f[10].empty()) xml::SetAttribute(target, keys.pcr, f[10]);
  if (!f[11].empty()) xml::SetAttribute(target, keys.txt, f[11]);
}
