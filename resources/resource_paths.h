#pragma once
// Where the program's pictures live among its compiled-in resources, and the one call that
// makes them reachable. The paths are valid only after InitResources(); the accessors below
// call it themselves.

#include <QByteArray>
#include <QIcon>

namespace kelmarin {

// The application icon (MAINICON): 32 x 32, 16 colours, transparent background.
inline constexpr char kMainIconPath[] = ":/kelmarin/main_icon.png";
// The about box picture: a 300 x 300 baseline colour JPEG.
inline constexpr char kAboutPicturePath[] = ":/kelmarin/about_picture.jpg";
// The menu pictures, 256-colour bitmaps whose bottom-left colour (silver) is transparent.
inline constexpr char kOpenFilePicturePath[] = ":/kelmarin/menu_open_file.bmp";  // APRI2
inline constexpr char kExitPicturePath[] = ":/kelmarin/menu_exit.bmp";           // Exit1
inline constexpr char kHelpPicturePath[] = ":/kelmarin/menu_help.bmp";           // Help1
inline constexpr char kInfoPicturePath[] = ":/kelmarin/menu_info.bmp";           // Info2
inline constexpr char kFastqPicturePath[] = ":/kelmarin/menu_fastq.bmp";         // Fastq

// Registers the compiled-in resources with Qt; calling it again does nothing.
void InitResources();

// The bytes of a resource; empty when there is no such resource.
QByteArray ResourceBytes(const char* path);

// The application icon, for the application object and the main window.
QIcon MainIcon();

}  // namespace kelmarin
