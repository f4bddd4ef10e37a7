// A small Windows host that loads yuv4mpeg2.auo the way AviUtl does and checks
// it through its binary interface.
//   module_test_host MODULE GROUP     GROUP: descriptor, resources, export, dialog
#include <stdio.h>
#include <string.h>

#include <string>

#include "tests/wine/host_harness.h"

void TestVariants();
void TestLargeExport(const std::string& directory);

int main(int argc, char** argv) {
    if (argc == 2 && strcmp(argv[1], "variants") == 0) {
        TestVariants();
        return ReportChecks();
    }
    if (argc < 3) {
        fprintf(stderr, "usage: %s MODULE descriptor|resources|export|dialog|large DIR\n", argv[0]);
        return 2;
    }
    if (!LoadModule(argv[1])) {
        printf("cannot load %s or find GetOutputPluginTable (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    CHECK(InterceptMessageBoxes());
    const char* group = argv[2];
    if (strcmp(group, "descriptor") == 0)
        TestDescriptor();
    else if (strcmp(group, "resources") == 0)
        TestResources();
    else if (strcmp(group, "export") == 0)
        TestExport();
    else if (strcmp(group, "dialog") == 0)
        TestDialog();
    else if (strcmp(group, "large") == 0 && argc > 3)
        TestLargeExport(argv[3]);
    else {
        fprintf(stderr, "unknown group %s\n", group);
        return 2;
    }
    return ReportChecks();
}
