#!/usr/bin/env python3
"""A debugger given the module's debug file finds our sources: every
compilation unit compiled in our build folder (its directory ".") names a
file that exists from the checkout, and no path of this machine is in it.

    check_debug_paths.py MODULE.debug OBJDUMP CHECKOUT
"""
import os
import re
import subprocess
import sys


def main(debug, objdump, checkout):
    # Run beside the file, so objdump's own heading does not name its folder.
    dump = subprocess.run([objdump, "--dwarf=info", os.path.basename(debug)], cwd=os.path.dirname(debug) or ".",
                          check=True, capture_output=True, text=True).stdout
    units = re.findall(r"DW_TAG_compile_unit.*?DW_AT_name\s*:.*?: (\S+)\n.*?DW_AT_comp_dir\s*:.*?: (\S+)\n",
                       dump, re.S)
    ours = [name for name, directory in units if directory == "."]
    missing = [name for name in ours if not os.path.isfile(os.path.join(checkout, name))]
    if not ours or missing:
        sys.exit(f"{len(ours)} units of ours; named but not in the checkout: {missing}")
    if checkout.rstrip("/") in dump:
        sys.exit(f"the debug information holds the build machine's path {checkout}")
    print(f"{len(ours)} units, every source found from the checkout")


if __name__ == "__main__":
    main(*sys.argv[1:4])
