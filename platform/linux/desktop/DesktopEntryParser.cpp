#include "platform/linux/desktop/DesktopEntryParser.h"

#include <optional>

namespace {

std::string_view trimmedBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

// The value escapes of the format: \s \n \t \r \\.
std::string unescapeValue(std::string_view value) {
    std::string plain;
    plain.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            plain.push_back(value[i]);
            continue;
        }
        switch (value[++i]) {
            case 's':
                plain.push_back(' ');
                break;
            case 'n':
                plain.push_back('\n');
                break;
            case 't':
                plain.push_back('\t');
                break;
            case 'r':
                plain.push_back('\r');
                break;
            case '\\':
                plain.push_back('\\');
                break;
            default:
                plain.push_back('\\');
                plain.push_back(value[i]);
        }
    }
    return plain;
}

// Splits an Exec value into arguments: blanks separate them, double quotes group them, and
// inside quotes a backslash takes the next character literally.
std::vector<std::string> execArguments(std::string_view exec) {
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '\\' && i + 1 < exec.size()) {
                current.push_back(exec[++i]);
            } else if (c == '"') {
                quoted = false;
            } else {
                current.push_back(c);
            }
        } else if (c == ' ' || c == '\t') {
            if (inArgument) {
                arguments.push_back(std::move(current));
                current.clear();
                inArgument = false;
            }
        } else if (c == '"') {
            quoted = true;
            inArgument = true;
        } else {
            current.push_back(c);
            inArgument = true;
        }
    }
    if (inArgument) {
        arguments.push_back(std::move(current));
    }
    return arguments;
}

bool isFieldCode(std::string_view argument) {
    return argument.size() == 2 && argument[0] == '%';
}

bool isOption(std::string_view argument) {
    return argument.size() > 1 && argument[0] == '-';
}

void readExec(std::string_view value, DesktopEntry& entry) {
    const std::vector<std::string> arguments = execArguments(unescapeValue(value));
    if (arguments.empty()) {
        return;
    }
    const std::string& program = arguments.front();
    const std::size_t slash = program.rfind('/');
    entry.executable = slash == std::string::npos ? program : program.substr(slash + 1);
    entry.execNamesTheApplication = !entry.executable.empty();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (!isFieldCode(arguments[i]) && !isOption(arguments[i])) {
            entry.execNamesTheApplication = false;
        }
    }
}

}  // namespace

DesktopEntry parseDesktopEntry(std::string_view text, const std::vector<std::string>& localeKeys) {
    DesktopEntry entry;
    bool inMainGroup = false;
    // The best Name found so far, by its rank in localeKeys (the plain Name ranks last).
    std::optional<std::size_t> nameRank;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        const std::string_view line = trimmedBlanks(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMainGroup || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmedBlanks(line.substr(0, equals));
        const std::string_view value = trimmedBlanks(line.substr(equals + 1));
        if (key == "Type") {
            entry.isApplication = value == "Application";
        } else if (key == "Hidden") {
            entry.hidden = value == "true";
        } else if (key == "Exec") {
            readExec(value, entry);
        } else if (key.substr(0, 4) == "Name" && (key.size() == 4 || key[4] == '[')) {
            std::size_t rank = localeKeys.size();
            if (key.size() > 4) {
                if (key.back() != ']') {
                    continue;
                }
                const std::string_view tag = key.substr(5, key.size() - 6);
                rank = 0;
                while (rank < localeKeys.size() && localeKeys[rank] != tag) {
                    ++rank;
                }
                if (rank == localeKeys.size()) {
                    continue;  // a language not asked for
                }
            }
            if (!nameRank || rank < *nameRank) {
                nameRank = rank;
                entry.name = unescapeValue(value);
            }
        }
    }
    return entry;
}

std::vector<std::string> localeKeysFor(std::string_view locale) {
    // lang_COUNTRY.ENCODING@MODIFIER; the encoding plays no part in matching.
    std::string_view modifier;
    if (const std::size_t at = locale.find('@'); at != std::string_view::npos) {
        modifier = locale.substr(at + 1);
        locale = locale.substr(0, at);
    }
    if (const std::size_t dot = locale.find('.'); dot != std::string_view::npos) {
        locale = locale.substr(0, dot);
    }
    std::string_view language = locale;
    std::string_view country;
    if (const std::size_t underscore = locale.find('_'); underscore != std::string_view::npos) {
        language = locale.substr(0, underscore);
        country = locale.substr(underscore + 1);
    }
    if (language.empty() || language == "C" || language == "POSIX") {
        return {};
    }
    const std::string lang(language);
    std::vector<std::string> keys;
    if (!country.empty() && !modifier.empty()) {
        keys.push_back(lang + "_" + std::string(country) + "@" + std::string(modifier));
    }
    if (!country.empty()) {
        keys.push_back(lang + "_" + std::string(country));
    }
    if (!modifier.empty()) {
        keys.push_back(lang + "@" + std::string(modifier));
    }
    keys.push_back(lang);
    return keys;
}
