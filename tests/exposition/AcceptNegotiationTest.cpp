#include "exposition/Exposition.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct AcceptCase {
    const char* accept;
    ExpositionFormat expected;
};

void PrintTo(const AcceptCase& accept, std::ostream* out) {
    *out << '"' << accept.accept << '"';
}

class AcceptNegotiation : public testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptNegotiation, PicksTheFormatTheScraperPrefers) {
    EXPECT_EQ(expositionFormatFor(GetParam().accept), GetParam().expected) << GetParam().accept;
}

constexpr auto text = ExpositionFormat::prometheusText;
constexpr auto openMetrics = ExpositionFormat::openMetrics;

INSTANTIATE_TEST_SUITE_P(
    Headers, AcceptNegotiation,
    testing::Values(
        // Prometheus 2.42's own header.
        AcceptCase{"application/openmetrics-text;version=1.0.0,application/openmetrics-text;"
                   "version=0.0.1;q=0.75,text/plain;version=0.0.4;q=0.5,*/*;q=0.1",
                   openMetrics},
        AcceptCase{"", text}, AcceptCase{"*/*", text}, AcceptCase{"text/plain", text},
        AcceptCase{"text/plain;version=0.0.4", text},
        AcceptCase{"application/openmetrics-text", openMetrics},
        AcceptCase{"Application/OpenMetrics-Text; Version=\"1.0.0\"", openMetrics},
        AcceptCase{"application/openmetrics-text; version=1.0.0; charset=utf-8", openMetrics},
        // Named but refused, or only a version this exporter does not write.
        AcceptCase{"application/openmetrics-text;q=0", text},
        AcceptCase{"application/openmetrics-text;q=0.000, text/plain", text},
        AcceptCase{"application/openmetrics-text;version=0.0.1", text},
        AcceptCase{"application/openmetrics-text;version=2.0.0;q=1,text/plain;q=0.1", text},
        // Qualities decide between the two.
        AcceptCase{"text/plain;q=1, application/openmetrics-text;q=0.5", text},
        AcceptCase{"text/plain;q=0.5, application/openmetrics-text;q=0.9", openMetrics},
        AcceptCase{"text/plain, application/openmetrics-text", openMetrics},
        AcceptCase{"*/*;q=0.1, application/openmetrics-text;q=0.2", openMetrics},
        // A quality that is not one leaves its range out.
        AcceptCase{"application/openmetrics-text;q=2", text},
        AcceptCase{"application/openmetrics-text;q=abc", text},
        AcceptCase{"application/openmetrics-text;q=1.5", text},
        AcceptCase{"application/openmetrics-text;q=0.0001", text},
        // The name inside a parameter or a quoted string is not a media range.
        AcceptCase{"text/plain;profile=\"application/openmetrics-text\"", text},
        AcceptCase{"text/html;x=\"a,application/openmetrics-text\"", text},
        AcceptCase{"application/openmetrics-textual", text},
        AcceptCase{"garbage, ,;;, /, application/, application/openmetrics-text ;q= 0.3",
                   openMetrics}));

}  // namespace
