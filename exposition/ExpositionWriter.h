#pragma once

#include "exposition/Exposition.h"

#include <QByteArray>
#include <QStringView>

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

// What a family's samples are, as Prometheus' TYPE line says it.
enum class MetricKind {
    gauge,
    counter,  // the sample's name ends in _total
    info,     // the sample's name ends in _info; its value is 1
};

// One label of a sample: a name and a value taken either as UTF-16 text (names from the
// system: processes, sensors, mount points) or as ASCII bytes (numbers, fixed words).
class Label {
public:
    Label(std::string_view name, QStringView text) : name_(name), text_(text), isText_(true) {}
    Label(std::string_view name, const QString& text) : Label(name, QStringView(text)) {}
    Label(std::string_view name, std::string_view bytes) : name_(name), bytes_(bytes) {}
    Label(std::string_view name, const char* bytes) : Label(name, std::string_view(bytes)) {}

    std::string_view name() const { return name_; }
    bool isText() const { return isText_; }
    QStringView text() const { return text_; }
    std::string_view bytes() const { return bytes_; }

private:
    std::string_view name_;
    QStringView text_;
    std::string_view bytes_;
    bool isText_ = false;
};

// A sample's value: an exact integer, a double, or nothing (not measured). A double that is
// not a finite number counts as nothing: Prometheus would store it, a reader would trust it.
class SampleValue {
public:
    template <std::integral Integer>
    SampleValue(Integer value) {  // implicit: every figure converts
        if constexpr (std::signed_integral<Integer>) {
            signed_ = value;
            kind_ = Kind::signedInteger;
        } else {
            unsigned_ = value;
            kind_ = Kind::unsignedInteger;
        }
    }
    SampleValue(double value);                        // implicit too
    SampleValue(const std::optional<double>& value);  // implicit too

    bool present() const { return kind_ != Kind::absent; }
    bool negative() const;
    // Appends the number as Prometheus reads it back exactly.
    void appendTo(QByteArray& text) const;

private:
    enum class Kind { absent, signedInteger, unsignedInteger, real };
    Kind kind_ = Kind::absent;
    std::int64_t signed_ = 0;
    std::uint64_t unsigned_ = 0;
    double real_ = 0;
};

// Writes families and their samples in one of the two formats. A family's HELP and TYPE lines
// are written with its first sample, so a family without any sample is left out whole.
class ExpositionWriter {
public:
    ExpositionWriter(QByteArray& text, ExpositionFormat format);

    // `sampleName` is the name the samples carry (with _total for a counter, _info for an
    // info family); `help` holds no backslash, quote or line break.
    void beginFamily(std::string_view sampleName, MetricKind kind, std::string_view help);
    // Nothing is written for an absent value, nor for a counter below zero (not a count).
    void sample(SampleValue value, std::initializer_list<Label> labels = {});
    // Ends the exposition (OpenMetrics' "# EOF").
    void finish();

private:
    void writeFamilyHeader();

    QByteArray& text_;
    ExpositionFormat format_;
    std::string_view sampleName_;
    std::string_view help_;
    MetricKind kind_ = MetricKind::gauge;
    bool headerWritten_ = true;
};
