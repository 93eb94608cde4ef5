#include "formkit/listed_names.h"

#include <QCollator>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <numeric>

namespace vantrel {

namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; });
}

std::string AsciiLower(std::string text) {
    for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return text;
}

// A wildcard mask. The usual "*.ext" is matched on the stored bytes of a plain ASCII name without
// making text of it: a big directory has hundreds of thousands of them.
class NameMask {
  public:
    explicit NameMask(const QString& mask)
        : pattern_(QRegularExpression::fromWildcard(mask, Qt::CaseInsensitive)) {
        const QString rest = mask.mid(1);
        plainEnding_ = mask.startsWith(u'*') &&
                       !rest.contains(QRegularExpression(R"([*?\[\]\\])")) &&
                       IsAscii(rest.toStdString());
        if (plainEnding_) ending_ = AsciiLower(rest.toStdString());
    }
    bool matches(const std::string& stored) const {
        if (plainEnding_ && IsAscii(stored)) {
            return stored.size() >= ending_.size() &&
                   AsciiLower(stored.substr(stored.size() - ending_.size())) == ending_;
        }
        return pattern_.match(ShownName(stored)).hasMatch();
    }

  private:
    QRegularExpression pattern_;
    bool plainEnding_ = false;
    std::string ending_;
};

// Sorts by keys made once per name rather than by collating pairs. Without a language (the C
// locale) names sort by their case-folded text; equal keys keep the order of the stored bytes.
void SortByName(std::vector<std::string>& names) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::size_t> order(names.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    auto sortBy = [&](const auto& keys, auto compare) {
        std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            const int byKey = compare(keys[a], keys[b]);
            return byKey != 0 ? byKey < 0 : names[a] < names[b];
        });
    };
    if (collator.locale().language() == QLocale::C) {
        std::vector<std::string> keys;
        keys.reserve(names.size());
        for (const std::string& name : names) {
            keys.push_back(IsAscii(name) ? AsciiLower(name)
                                         : ShownName(name).toCaseFolded().toStdString());
        }
        sortBy(keys, [](const std::string& a, const std::string& b) { return a.compare(b); });
    } else {
        std::vector<QCollatorSortKey> keys;
        keys.reserve(names.size());
        for (const std::string& name : names) keys.push_back(collator.sortKey(ShownName(name)));
        sortBy(keys,
               [](const QCollatorSortKey& a, const QCollatorSortKey& b) { return a.compare(b); });
    }
    std::vector<std::string> sorted;
    sorted.reserve(names.size());
    for (std::size_t i : order) sorted.push_back(std::move(names[i]));
    names = std::move(sorted);
}

}  // namespace

QString ShownName(const std::string& stored) {
    return QString::fromLocal8Bit(stored);
}

std::vector<std::string> ReadListedNames(const QString& directory, DirectoryEntry::Kind kind,
                                         const QStringList& masks) {
    const std::vector<NameMask> patterns(masks.begin(), masks.end());
    std::vector<std::string> names;
    for (DirectoryEntry& entry : ListDirectory(QFile::encodeName(directory).toStdString())) {
        if (entry.kind != kind || entry.hidden) continue;
        if (patterns.empty() ||
            std::any_of(patterns.begin(), patterns.end(),
                        [&](const NameMask& p) { return p.matches(entry.name); })) {
            names.push_back(std::move(entry.name));
        }
    }
    SortByName(names);
    return names;
}

}  // namespace vantrel
