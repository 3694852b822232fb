#include "helper/HelperDaemon.h"
#include "helper/SMCReader.h"
#include "helper/SensorCollector.h"
#include "helper/SensorTestReport.h"

#include <cstdio>
#include <string_view>

// OrvikHelper: with "--test" anywhere among the arguments, prints one sensor reading and
// exits; otherwise serves sensor requests on the socket systemd hands over.
int main(int argc, char** argv) {
    bool testMode = false;
    for (int i = 1; i < argc; ++i) {
        testMode = testMode || std::string_view(argv[i]) == "--test";
    }
    SMCReader reader;
    if (!reader.open()) {
        return 1;
    }
    if (testMode) {
        return runSensorTest(reader, stdout);
    }
    SensorCollector collector(reader);
    return runHelperDaemon([&collector] { return collector.collect(); });
}
