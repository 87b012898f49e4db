// The alarm-sound choice of the settings dialog. It writes soundType and soundFile of
// the record as soon as the operator changes it, so the alarm uses it at once.
#include <QByteArray>
#include <QFileInfo>

#include "platform/gbk.h"
#include "settings/setting_dialog.h"
#include "settings/sound_file_picker.h"

namespace kelvanor {

void CSettingDialog::ShowSoundChoice() {
  const SettingData& setting = *m_pSetting;
  if (setting.soundType < kSoundChooseFile) {
    m_cbSound.setCurrentIndex(setting.soundType < 0 ? -1 : setting.soundType);
  } else if (!setting.soundFile.empty() && QFileInfo::exists(GbkToQString(setting.soundFile))) {
    SetFileItem(setting.soundFile);
  } else {
    m_cbSound.setCurrentIndex(kSoundSpeaker);
  }
}

void CSettingDialog::OnCbnSelchangeSound(int index) {
  m_pSetting->soundType = index;
  if (index == kSoundChooseFile) {
    const std::optional<std::string> gbk = PickGbkSoundFile(this);
    if (!gbk) return;
    SetFileItem(*gbk);
    m_pSetting->soundFile = *gbk;
  } else if (index == kSoundFileItem) {
    m_pSetting->soundFile = m_cbSound.itemData(kSoundFileItem).toByteArray().toStdString();
  } else {
    RemoveFileItem();
    m_pSetting->soundFile.clear();
  }
}

void CSettingDialog::SetFileItem(const std::string& path) {
  RemoveFileItem();
  // The shown text is for the eye; the item keeps the path's own bytes.
  m_cbSound.addItem(GbkToQString(path), QByteArray::fromStdString(path));
  m_cbSound.setCurrentIndex(kSoundFileItem);
}

void CSettingDialog::RemoveFileItem() {
  if (m_cbSound.count() > kSoundFileItem) m_cbSound.removeItem(kSoundFileItem);
}

}  // namespace kelvanor
