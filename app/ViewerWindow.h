#pragma once
// `pakmaster FILE`: an NFO or DIZ file shown in the fixed-font window as a PC screen shows it,
// read-only and sized to the file, without the wizard.
#include <memory>
#include <string>

class QWidget;
class TForm3;

namespace pkm {

// The viewer window of the file, not yet shown; nothing when the file cannot be read, after
// the input error's message box.
std::unique_ptr<TForm3> OpenViewer(const std::string& path, QWidget* parent = nullptr);

// Shows the file until the window is closed. Needs the application object; returns the exit
// status: 0, or 1 when the file could not be read (also said on standard error).
int RunViewer(const std::string& path);

} // namespace pkm
