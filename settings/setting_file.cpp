#include "settings/setting_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <tinyxml2.h>
#include <unistd.h>

#include "platform/gbk.h"
#include "settings/address_mode_text.h"
#include "settings/atomic_file.h"
#include "settings/attribute_count.h"
#include "settings/int_scan.h"
#include "settings/options_element.h"

namespace kelvanor {
namespace {

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
    setting.ipList.emplace_back(TextOf(element, "ip"), IntOf(element, "port"), TextOf(element, "remark"))
        .addressMode = StoredMode(element.Attribute("mode"));
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
    if (const char* mode = StoredModeText(info.addressMode)) entry->SetAttribute("mode", mode);
  }
  AppendOptions(setting.options, *root);
  tinyxml2::XMLPrinter printer;
  doc.Print(&printer);
  return KeepCarriageReturns(std::string_view(printer.CStr(), static_cast<size_t>(printer.CStrSize() - 1)));
}

std::string SystemReason(const char8_t* what) { return Gbk(what) + Gbk(u8"（") + std::strerror(errno) + Gbk(u8"）"); }

// setting.xml's bytes, or why they could not be read; neither when there is no file.
struct FileRead {
  bool exists = true;
  std::string bytes;
  std::string problem;
};

// Opened without waiting, so that a FIFO of that name cannot hold up the start.
FileRead ReadWholeFile(const char* path) {
  FileRead file;
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    file.exists = errno != ENOENT;
    if (file.exists) file.problem = SystemReason(u8"无法读取");
    return file;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) file.problem = Gbk(u8"不是普通文件");
  char buffer[65536];
  for (ssize_t n = 1; file.problem.empty() && n != 0;) {
    n = read(fd, buffer, sizeof buffer);
    if (n > 0)
      file.bytes.append(buffer, static_cast<std::size_t>(n));
    else if (n < 0 && errno != EINTR)
      file.problem = SystemReason(u8"无法读取");
  }
  close(fd);
  return file;
}

// Fills the record from the file's bytes; the problem that stops it, or empty.
std::string ReadSettings(const std::string& bytes, SettingData& setting) {
  if (HasElementWithMoreAttributes(bytes, kMaxAttributesPerElement))
    return Gbk(u8"有元素的属性超过 ") + std::to_string(kMaxAttributesPerElement) + Gbk(u8" 个");
  tinyxml2::XMLDocument doc;
  const tinyxml2::XMLError error = doc.Parse(bytes.data(), bytes.size());
  if (error != tinyxml2::XML_SUCCESS && error != tinyxml2::XML_ERROR_EMPTY_DOCUMENT) {
    const std::string line = Gbk(u8"第 ") + std::to_string(doc.ErrorLineNum()) + Gbk(u8" 行");
    return line + (error == tinyxml2::XML_ERROR_PARSING_ATTRIBUTE ? Gbk(u8"有重复或无效的属性") : Gbk(u8"的 XML 格式有误"));
  }
  const tinyxml2::XMLElement* root = doc.FirstChildElement();
  if (!root) return Gbk(u8"文件中没有任何元素");
  for (const tinyxml2::XMLElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement())
    ReadElement(*e, setting);
  return "";
}

}  // namespace

SettingLoad LoadSettingFile(SettingData& setting, const char* path) {
  FileRead file = ReadWholeFile(path);
  if (file.exists && file.problem.empty()) file.problem = ReadSettings(file.bytes, setting);
  setting.fileNotLoaded = !file.problem.empty();
  return {file.exists && file.problem.empty() ? 0 : -1, std::move(file.problem)};
}

int LoadSetting(SettingData& setting) { return LoadSettingFile(setting).result; }

int SaveSetting(const SettingData& setting) {
  try {
    return ReplaceFileContents(kSettingFileName, PrintSetting(setting)) ? 0 : -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

}  // namespace kelvanor
