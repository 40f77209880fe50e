// Building and writing the install manifest.
#include "online/install_manifest.h"

#include "app/outside_addresses.h"
#include "online/whole_file.h"
#include "platform/shell/folders.h"
#include "platform/text/text.h"

namespace {

// A CDATA section of UTF-8 text; each "]]>" ends one section after "]]" and opens the next for ">".
std::string cdata(const std::string &utf8)
{
    return "<![CDATA[" + platform::text::replaceAll(utf8, "]]>", "]]]]><![CDATA[>") + "]]>";
}

} // namespace

std::string InstallManifestText(const std::string &ipaPath)
{
    const std::string image = cdata(platform::text::gbkToUtf8("https://" + AddressOf(kIconHost) + "/ipadown/img/logo.png"));
    // The title is written as UTF-8 bytes whatever the source's execution character set.
    const std::string title = "\xE8\xBD\xAF\xE4\xBB\xB6";
    const std::string lines[] = {
        R"(<?xml version="1.0" encoding="UTF-8"?>)",
        R"(<plist version="1.0">)",
        "<dict>",
        "<key>items</key>",
        "<array>",
        "<dict>",
        "<key>assets</key>",
        "<array>",
        "<dict>",
        "<key>kind</key>",
        "<string>software-package</string>",
        "<key>url</key>",
        "<string>" + cdata(platform::text::gbkToUtf8(ipaPath)) + "</string>",
        "</dict>",
        "<dict>",
        "<key>kind</key>",
        "<string>display-image</string>",
        "<key>needs-shine</key>",
        "<integer>0</integer>",
        "<key>url</key>",
        "<string>" + image + "</string>",
        "</dict>",
        "<dict>",
        "<key>kind</key>",
        "<string>full-size-image</string>",
        "<key>needs-shine</key>",
        "<true/>",
        "<key>url</key>",
        "<string>" + image + "</string>",
        "</dict>",
        "</array>",
        "<key>metadata</key>",
        "<dict>",
        "<key>bundle-identifier</key>",
        "<string>com.ciqpfv</string>",
        "<key>bundle-version</key>",
        "<string><![CDATA[1.0.0]]></string>",
        "<key>kind</key>",
        "<string>software</string>",
        "<key>title</key>",
        "<string><![CDATA[" + title + "]]></string>",
        "</dict>",
        "</dict>",
        "</array>",
        "</dict>",
        "</plist>",
    };
    static_assert(std::size(lines) == 46);
    std::string text;
    for (const std::string &line : lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

std::string InstallManifestFile() { return platform::shell::documentsFolder() + "Kelmplist.plist"; }

bool WriteInstallManifest(const std::string &ipaPath)
{
    return WriteWholeFile(InstallManifestFile(), InstallManifestText(ipaPath));
}
