#include "exposition/ExpositionWriter.h"

#include "exposition/LabelText.h"

#include <charconv>
#include <cmath>

namespace {

void append(QByteArray& text, std::string_view part) {
    text.append(part.data(), static_cast<qsizetype>(part.size()));
}

template <typename Number>
void appendDecimal(QByteArray& text, Number value) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr - digits);
}

// OpenMetrics names a counter's family without _total and an info family without _info.
std::string_view familyName(std::string_view sampleName, MetricKind kind, ExpositionFormat format) {
    if (format != ExpositionFormat::openMetrics) {
        return sampleName;
    }
    const std::string_view suffix = kind == MetricKind::counter ? "_total"
                                    : kind == MetricKind::info  ? "_info"
                                                                : "";
    if (!suffix.empty() && sampleName.ends_with(suffix)) {
        sampleName.remove_suffix(suffix.size());
    }
    return sampleName;
}

std::string_view typeName(MetricKind kind, ExpositionFormat format) {
    switch (kind) {
        case MetricKind::counter:
            return "counter";
        case MetricKind::info:
            // The text format has no info type: a gauge of 1 is its usual form.
            return format == ExpositionFormat::openMetrics ? "info" : "gauge";
        case MetricKind::gauge:
            break;
    }
    return "gauge";
}

// Integral doubles below this print as integers: exact, and without an exponent.
constexpr double kLargestPlainInteger = 1e15;

}  // namespace

SampleValue::SampleValue(double value) {
    if (std::isfinite(value)) {
        real_ = value;
        kind_ = Kind::real;
    }
}

SampleValue::SampleValue(const std::optional<double>& value)
    : SampleValue(value ? *value : std::nan("")) {}

bool SampleValue::negative() const {
    return (kind_ == Kind::signedInteger && signed_ < 0) || (kind_ == Kind::real && real_ < 0);
}

void SampleValue::appendTo(QByteArray& text) const {
    switch (kind_) {
        case Kind::signedInteger:
            appendDecimal(text, signed_);
            return;
        case Kind::unsignedInteger:
            appendDecimal(text, unsigned_);
            return;
        case Kind::real:
            if (std::trunc(real_) == real_ && std::fabs(real_) < kLargestPlainInteger) {
                appendDecimal(text, static_cast<std::int64_t>(real_));
            } else {
                appendDecimal(text, real_);  // the shortest text that reads back the same
            }
            return;
        case Kind::absent:
            return;
    }
}

ExpositionWriter::ExpositionWriter(QByteArray& text, ExpositionFormat format)
    : text_(text), format_(format) {}

void ExpositionWriter::beginFamily(std::string_view sampleName, MetricKind kind,
                                   std::string_view help) {
    sampleName_ = sampleName;
    kind_ = kind;
    help_ = help;
    headerWritten_ = false;
}

void ExpositionWriter::writeFamilyHeader() {
    const std::string_view family = familyName(sampleName_, kind_, format_);
    append(text_, "# HELP ");
    append(text_, family);
    text_.append(' ');
    append(text_, help_);
    append(text_, "\n# TYPE ");
    append(text_, family);
    text_.append(' ');
    append(text_, typeName(kind_, format_));
    text_.append('\n');
    headerWritten_ = true;
}

void ExpositionWriter::sample(SampleValue value, std::initializer_list<Label> labels) {
    if (!value.present() || (kind_ == MetricKind::counter && value.negative())) {
        return;
    }
    if (!headerWritten_) {
        writeFamilyHeader();
    }
    append(text_, sampleName_);
    if (labels.size() > 0) {
        char separator = '{';
        for (const Label& label : labels) {
            text_.append(separator);
            append(text_, label.name());
            append(text_, "=\"");
            if (label.isText()) {
                appendEscapedLabelValue(text_, label.text());
            } else {
                appendEscapedLabelValue(text_, label.bytes());
            }
            text_.append('"');
            separator = ',';
        }
        text_.append('}');
    }
    text_.append(' ');
    value.appendTo(text_);
    text_.append('\n');
}

void ExpositionWriter::finish() {
    if (format_ == ExpositionFormat::openMetrics) {
        append(text_, "# EOF\n");
    }
}
