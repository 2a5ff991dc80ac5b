#include "ui/file_type_icons.h"

#include <QApplication>
#include <QHash>
#include <QMimeDatabase>
#include <QStyle>

#include "ui/byte_text.h"

namespace {

// The part of a list text that tells the type: the extension, lower-cased, or the whole name
// where it has none ("Makefile"). One icon is looked up per such part and kept.
QString TypeKey(const QString& name) {
  const qsizetype dot = name.lastIndexOf('.');
  return dot > 0 ? name.mid(dot).toLower() : name;
}

QIcon IconForName(const QString& name) {
  static QMimeDatabase database;
  const QList<QMimeType> types = database.mimeTypesForFileName(name);
  const QIcon fallback = QApplication::style()->standardIcon(QStyle::SP_FileIcon);
  if (types.isEmpty()) return QIcon::fromTheme("text-x-generic", fallback);
  const QMimeType& type = types.front();
  return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
}

}  // namespace

QIcon FileTypeIcon(const std::string& entry) {
  if (!entry.empty() && entry.back() == '/') {
    static const QIcon folder =
        QIcon::fromTheme("folder", QApplication::style()->standardIcon(QStyle::SP_DirIcon));
    return folder;
  }
  const std::size_t delim = entry.rfind('/');
  const QString name = BytesToText(delim == std::string::npos ? entry : entry.substr(delim + 1));
  static QHash<QString, QIcon> icons;
  const QString key = TypeKey(name);
  auto it = icons.find(key);
  if (it == icons.end()) it = icons.insert(key, IconForName(name));
  return it.value();
}
