#include "settings/setting_file.h"

#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <tinyxml2.h>

#include "settings/atomic_file.h"
#include "settings/attribute_count.h"
#include "settings/int_scan.h"
#include "settings/options_element.h"

namespace kelvanor {
namespace {

constexpr const char* kFileName = "setting.xml";

std::string TextOf(const tinyxml2::XMLElement& element, const char* name) {
  const char* text = element.Attribute(name);
  return text ? text : "";
}

std::int32_t IntOf(const tinyxml2::XMLElement& element, const char* name) {
  return ScanInt(element.Attribute(name));
}

void ReadElement(const tinyxml2::XMLElement& element, SettingData& setting) {
  const std::string_view name = element.Name();
  if (name == "RefreshTime") {
    setting.refreshTime = IntOf(element, "val");
  } else if (name == "IPInfo") {
    setting.ipList.emplace_back(TextOf(element, "ip"), IntOf(element, "port"), TextOf(element, "remark"));
  } else if (name == "Sound") {
    setting.soundType = IntOf(element, "val");
    setting.soundFile = TextOf(element, "file");
  } else if (name == "Options") {
    setting.options = ReadOptions(element);
  }
}

// The parser turns a raw carriage return into a line feed, so a text holding one would
// come back changed; written as a character reference it reads back as itself. The
// printer writes no carriage return of its own, and no GBK byte pair contains 0x0D.
std::string KeepCarriageReturns(std::string_view printed) {
  std::string out;
  out.reserve(printed.size());
  for (char c : printed) {
    if (c == '\r')
      out += "&#13;";
    else
      out += c;
  }
  return out;
}

std::string PrintSetting(const SettingData& setting) {
  tinyxml2::XMLDocument doc;
  doc.InsertEndChild(doc.NewDeclaration("xml version=\"1.0\" encoding=\"GBK\""));
  tinyxml2::XMLElement* root = doc.NewElement("root");
  doc.InsertEndChild(root);
  tinyxml2::XMLElement* refresh = root->InsertNewChildElement("RefreshTime");
  refresh->SetAttribute("val", setting.refreshTime);
  tinyxml2::XMLElement* sound = root->InsertNewChildElement("Sound");
  sound->SetAttribute("val", setting.soundType);
  sound->SetAttribute("file", setting.soundFile.c_str());
  for (const IPInfo& info : setting.ipList) {
    tinyxml2::XMLElement* entry = root->InsertNewChildElement("IPInfo");
    entry->SetAttribute("ip", info.ip.c_str());
    entry->SetAttribute("port", info.port);
    entry->SetAttribute("remark", info.remark.c_str());
  }
  AppendOptions(setting.options, *root);
  tinyxml2::XMLPrinter printer;
  doc.Print(&printer);
  return KeepCarriageReturns(std::string_view(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1)));
}

}  // namespace

int LoadSetting(SettingData& setting) {
  std::ifstream file(kFileName, std::ios::binary);
  if (!file) return -1;
  const std::string bytes{std::istreambuf_iterator<char>(file), {}};
  if (file.bad() || HasElementWithMoreAttributes(bytes, kMaxAttributesPerElement)) return -1;
  tinyxml2::XMLDocument doc;
  if (doc.Parse(bytes.data(), bytes.size()) != tinyxml2::XML_SUCCESS) return -1;
  const tinyxml2::XMLElement* root = doc.FirstChildElement();
  if (!root) return -1;
  for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
    ReadElement(*e, setting);
  return 0;
}

int SaveSetting(const SettingData& setting) {
  try {
    return ReplaceFileContents(kFileName, PrintSetting(setting)) ? 0 : -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

}  // namespace kelvanor
