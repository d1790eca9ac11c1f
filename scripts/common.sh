# The shared start of install.sh and test.sh (sourced): go to the repository root,
# install what is missing, and share one compiler cache between the build folders.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

./scripts/setup.sh

export CCACHE_DIR="${CCACHE_DIR:-$root/.cache/ccache}"
export CCACHE_BASEDIR="$root"
launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
