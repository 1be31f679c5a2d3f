// Loading and saving the configuration window's settings.
#include <QLineEdit>
#include <QListWidget>
#include <algorithm>
#include <string_view>

#include "common/config_file.h"
#include "common/conversion.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/qt/text_edge.h"
#include "platform/widgets/spin_edit.h"
#include "server/setup_window.h"

namespace sonhall {
namespace {

kv::Tcfg openSettings(const std::string& file) {
    kv::Tcfg cfg = kv::Tcfg::CreateFile(file);
    cfg.SetSection("SONHALL");
    return cfg;
}

constexpr std::string_view kFolderKey = "MP3 PATH";

std::string folderKey(int i) {
    return std::string(kFolderKey) + std::to_string(i);
}

// The highest number of a folder key present, so that a huge count reads no further.
std::int32_t highestFolderKey(const kv::Tcfg& cfg) {
    std::int32_t highest = 0;
    for (const std::string& key : cfg.ReadKeyNames()) {  // upper case
        std::int32_t i = 0;
        if (key.starts_with(kFolderKey) && kv::TryStrToInt(key.substr(kFolderKey.size()), i))
            highest = std::max(highest, i);
    }
    return highest;
}

}  // namespace

void TaSetup::LoadConfig() {
    if (!platform::files::fileExists(platform::files::Name(ConfigurationFile()))) {
        platform::dialogs().postMessage("Error! I cannot locate Configuration file.");
        return;
    }
    ListBox1->clear();
    const kv::Tcfg cfg = openSettings(ConfigurationFile());
    try {
        // The first key that cannot be read ends the load; what came before it stays.
        edCrossfade->setText(platform::latin1(cfg.ReadString("CROSSFADE")));
        CrossfadePercent = kv::StrToInt(platform::fromLatin1(edCrossfade->text()));
        SpinEdit2->SetValue(cfg.ReadInteger("PORT"));
        SpinEdit1->SetValue(cfg.ReadInteger("CLIENT SONG"));
        Edit1->setText(platform::fileName(cfg.ReadString("PLAYLIST")));
        const std::int32_t n = std::min(cfg.ReadInteger("DIRECTORIES"), highestFolderKey(cfg));
        if (n > 0) {
            for (int i = 1; i <= n; ++i)
                AddFolderEntry(cfg.ReadString(folderKey(i)));
            UpdateButtons();
        }
    } catch (const std::exception&) {
    }
}

void TaSetup::SaveConfig() {
    CrossfadePercent = kv::StrToInt(platform::fromLatin1(edCrossfade->text()));
    // The file written again keeps the name it has on disk. It is built from these keys alone
    // and replaced in one step: a failed or killed save leaves the old file whole.
    const std::string file = platform::files::resolve(platform::files::Name(ConfigurationFile()));
    kv::TcfgSave save(openSettings(file), kv::TcfgSave::Base::Fresh);
    save.WriteInteger("CROSSFADE", kv::StrToInt(platform::fromLatin1(edCrossfade->text())));
    save.WriteInteger("DIRECTORIES", ListBox1->count());
    save.WriteInteger("PORT", SpinEdit2->Value());
    save.WriteString("PLAYLIST", platform::fromFileName(Edit1->text()));
    save.WriteInteger("CLIENT SONG", SpinEdit1->Value());
    const std::vector<std::string> folders = Folders();
    for (size_t i = 0; i < folders.size(); ++i)
        save.WriteString(folderKey(static_cast<int>(i) + 1), folders[i]);
    try {
        save.Commit();
    } catch (const platform::Error& e) {
        platform::dialogs().showMessage("Error while writing Configuration file.\n\n" +
                                        std::string(e.what()));
    }
}

}  // namespace sonhall
