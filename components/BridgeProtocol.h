#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

// What Lynkor and its browser host (lynkor-browser-host, started by a
// browser for Lynkor's extension) say to each other on the user's socket:
// frames of a 4-byte big-endian length and a UTF-8 JSON object.
//
//   host -> Lynkor  {"type":"hello","protocol":1,"browser":"chromium"}
//   Lynkor -> host  {"type":"welcome","protocol":1} or {"type":"refused","reason":...}
//   Lynkor -> host  {"type":"request","id":7,"op":"windowInfo"}
//                   {"type":"request","id":8,"op":"open","url":"https://...","where":"tab"}
//   host -> Lynkor  {"type":"reply","id":7,"ok":true,"url":"...","title":"..."}
//
// The browser side (host <-> extension) is the browsers' native messaging:
// a 4-byte length in the machine's byte order and a JSON object.
namespace BridgeProtocol {

inline constexpr int kVersion = 1;
// No message is larger: a page's address and title fit many times over.
inline constexpr qsizetype kMaxMessage = 1024 * 1024;
// The name the extension asks its browser for, and the host's manifest file name.
inline constexpr const char* kHostName = "io.github.lynkor.browser";
// The extension's ID in Chromium-family browsers (from the key in its
// manifest) and in Firefox.
inline constexpr const char* kChromiumExtensionId = "kkahkokpiifmchgaickihlkpkpemicah";
inline constexpr const char* kFirefoxExtensionId = "browser-link@lynkor.example";

// The user's socket: $LYNKOR_BROWSER_SOCKET when set, else
// $XDG_RUNTIME_DIR/lynkor/browser-link, else <temp>/lynkor-<uid>/browser-link
// (temp: $TMPDIR, normally /tmp). The folder is made private to the user
// (0700) when it is created.
QString socketPath();
// Makes the socket's folder, private to the user; false when it exists but
// is not the user's own private folder.
bool preparePrivateFolder(const QString& folder, QString* why = nullptr);
// Whether folder is the user's own private folder: a real folder (no
// symbolic link), owned by the user, that nobody else may enter. Anyone may
// make a folder under /tmp, so nothing found there is trusted before this.
bool isPrivateFolder(const QString& folder, QString* why = nullptr);
// Whether the process at the other end of a connected local socket runs as
// this user: the kernel's word for it, whatever the socket file looks like.
bool peerIsThisUser(qintptr descriptor, QString* why = nullptr);

// One frame: a length in the given byte order, then the JSON text.
enum class Order { Big, Native };
QByteArray frame(const QJsonObject& message, Order order = Order::Big);

// Takes the next whole frame from the front of buffer. Nothing while the
// frame is incomplete. A frame that holds no JSON object is taken out and
// refused with an error text; one whose length is beyond the limit is
// refused as fatal (the buffer left as it was): nothing after it can be read.
struct Taken
{
    std::optional<QJsonObject> message;
    QString error;
    bool fatal = false;
};
Taken take(QByteArray& buffer, Order order = Order::Big);

// A request's reply as it may come back from a browser, checked field by
// field: id a positive integer, ok a boolean, url and title strings of
// reasonable size. Nothing for anything else.
std::optional<QJsonObject> validReply(const QJsonObject& message);

} // namespace BridgeProtocol
