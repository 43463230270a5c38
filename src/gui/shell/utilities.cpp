#include "gui/shell/utilities.h"

#include "gui/common/desktop.h"

namespace taktirio::gui {

namespace {

UtilityProgram P(const char* executable, QStringList arguments = {}) {
    return {QString::fromLatin1(executable), std::move(arguments)};
}

}  // namespace

QList<UtilityItem> UtilityItems() {
    using L = QStringList;
    return {
        {"WordPad1",
         QStringLiteral("&WordPad"),
         {P("lowriter"), P("libreoffice", L{QStringLiteral("--writer")}), P("abiword"),
          P("calligrawords")}},
        {"Notepad1",
         QStringLiteral("&Notepad"),
         {P("gedit"), P("gnome-text-editor"), P("kate"), P("kwrite"), P("mousepad"), P("xed"),
          P("pluma"), P("featherpad"), P("leafpad")}},
        {"Paint1",
         QStringLiteral("&Paint"),
         {P("kolourpaint"), P("pinta"), P("drawing"), P("mtpaint"), P("gimp")}},
        {"Calculator1",
         QStringLiteral("&Calculator"),
         {P("gnome-calculator"), P("kcalc"), P("galculator"), P("mate-calc"), P("qalculate-gtk"),
          P("xcalc")}},
        {"CommandPrompt1",
         QStringLiteral("Co&mmand Prompt"),
         {P("x-terminal-emulator"), P("gnome-terminal"), P("konsole"), P("xfce4-terminal"),
          P("mate-terminal"), P("lxterminal"), P("qterminal"), P("xterm")}},
        {"askManager1",
         QStringLiteral("&Task Manager"),
         {P("gnome-system-monitor"), P("plasma-systemmonitor"), P("ksysguard"),
          P("xfce4-taskmanager"), P("mate-system-monitor"), P("lxtask"), P("qps")}},
        {"WindowsVersion1",
         QStringLiteral("Windows &Version"),
         {P("gnome-control-center", L{QStringLiteral("info-overview")}), P("kinfocenter"),
          P("xfce4-about"), P("mate-system-monitor", L{QStringLiteral("--show-system-tab")}),
          P("hardinfo")}},
    };
}

bool StartUtility(const UtilityItem& item, Desktop& desktop) {
    for (const UtilityProgram& program : item.programs) {
        const QString path = desktop.FindProgram(program.executable);
        if (!path.isEmpty()) {
            return desktop.StartProgram(path, program.arguments);
        }
    }
    return false;
}

}  // namespace taktirio::gui
