#!/bin/sh
# The MWCommonModule package as an extension-tool developer uses it: install
# it into a fresh prefix, build the stand-in extension tool against it on its
# own, and run that tool in the host from an installed layout on a fresh
# machine, brought in by MWLoadLibrary.
#
#   package_test.sh BUILD SOURCE CXX CXXFLAGS LINKERFLAGS
set -eu
build=$1
source=$2
compiler=$3
flags=$4
linkflags=$5

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" --component MWCommonModuleSDK >/dev/null
cmake -S "$source/examples/host/extensiontool" -B "$work/tool" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_PREFIX_PATH="$work/prefix" -DCMAKE_CXX_COMPILER="$compiler" -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_SHARED_LINKER_FLAGS="$linkflags" >/dev/null
cmake --build "$work/tool" >/dev/null
tool="$work/tool/MWExtensionTool.krx"
readelf -d "$tool" | grep -q 'NEEDED.*\[MWCommonModule.krx\]' || { echo "the tool does not link MWCommonModule"; exit 1; }

machine="$work/machine"
"$build/bin/winsim" new "$machine" >/dev/null
installation="$machine/drives/c/Program Files/Merrowin/DWG Merrowin"
mkdir -p "$installation/Bin" "$installation/MWTools"
cp "$build/bin/korax" "$installation/korax.exe"
cp "$build/bin/koraxkwlres.dll" "$build/bin/expressres.dll" "$installation/"
cp "$build/bin/BCGCBPRO2510u100.dll" "$installation/Bin/"
cp "$build/bin/MWLoadLibrary.krx" "$work/prefix/lib/MWCommonModule.krx" "$tool" "$installation/MWTools/"
printf 'MWHELLO Developer\n' > "$machine/drives/c/tool.scr"

"$build/bin/winsim" run "$machine" \
  '"C:\Program Files\Merrowin\DWG Merrowin\korax.exe" --load "C:\Program Files\Merrowin\DWG Merrowin\MWTools\MWLoadLibrary.krx" --script C:\tool.scr' \
  >"$work/output.txt" || { cat "$work/output.txt"; echo "the host failed"; exit 1; }
grep -q 'Hello, Developer, from MWExtensionTool with C:\\Program Files\\Merrowin\\DWG Merrowin\\MWTools\\MWCommonModule.krx' \
  "$work/output.txt" || { cat "$work/output.txt"; echo "the tool's command did not run"; exit 1; }
grep -c '"kind":"ModuleUnload"' "$machine/transcript.jsonl" | grep -qx 3 || { echo "not every module was unloaded"; exit 1; }
echo "the package builds a tool that runs in the host"
