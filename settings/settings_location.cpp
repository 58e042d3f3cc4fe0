#include "settings/settings_location.h"

#include "platform/file.h"
#include "platform/gui/gadgets.h"
#include "platform/user_folder.h"
#include "settings/settings.h"

Text SpecialFolder(int32_t id) { return id == kAppDataFolder ? UserConfigFolder() : Text(); }

Text SettingsFolder() {
    // Without an application-data folder this names a folder in the root folder.
    const Text folder = SpecialFolder(kAppDataFolder) + u"\\" + AppTitle();
    switch (FileType(folder)) {
        case FileNone:
            return MakeFolder(folder) ? folder : Text();
        case FileRegular:
            return Text();
        case FileFolder:
            return folder;
    }
    return Text();
}

Text SettingsFilePath() { return SettingsFolder() + u"\\" + AppTitle() + u".txt"; }
