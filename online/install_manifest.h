// The over-the-air install manifest "Kelmplist.plist": an XML property list naming one IPA, written
// to the documents folder. Pure text building plus one file write.
#pragma once

#include <string>

// The manifest for the package address `ipaPath` (GBK): 46 lines joined by CR LF, UTF-8 without a
// byte order mark, no line break after the last line. The path and the icon address sit in CDATA
// sections; a "]]>" inside them is split across two sections so the XML stays well-formed.
std::string InstallManifestText(const std::string &ipaPath);

// The manifest file (GBK path): Kelmplist.plist in the documents folder.
std::string InstallManifestFile();

// Writes the manifest for `ipaPath`, replacing an earlier file; false when it cannot be written
// (the program does not report that).
bool WriteInstallManifest(const std::string &ipaPath);
