#pragma once
// The open-file picker of the alarm-sound choice. It opens in "../sounds/" relative to
// the working directory when that folder exists, and always gives the working directory
// back, since setting.xml is found through it.
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace kelvanor {

// Shows a picker for wave files starting in `directory`; the chosen file's full path,
// or an empty text when the operator cancels.
using SoundFilePicker = std::function<QString(QWidget* parent, const QString& directory)>;

// Replaces the real picker (tests answer it without a modal loop); an empty picker
// restores the real one. Returns the previous picker.
SoundFilePicker SetSoundFilePicker(SoundFilePicker picker);

// Switches to "../sounds/" (a failure is ignored), runs the picker there, and restores
// the working directory whether or not a file was chosen.
QString PickSoundFile(QWidget* parent);

// PickSoundFile for the settings, which keep GBK texts: the chosen path in GBK. A path
// GBK cannot hold would name another file, so it is refused with a warning box. Nothing
// when the operator cancels or the path is refused.
std::optional<std::string> PickGbkSoundFile(QWidget* parent);

}  // namespace kelvanor
