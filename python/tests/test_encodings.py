"""The encodings by name: compact as rib-cat writes it, gzip holding exactly the plain bytes."""
import gzip
import os
import subprocess

import pytest
import rib
from scenes import simple_scene

BUILD = os.environ.get("RIB_BUILD_DIR")


def written(path, **encoding):
    with rib.Context(path, **encoding) as ri:
        simple_scene(ri)
    return path.read_bytes()


def test_gzip_holds_the_plain_bytes_in_each_encoding(tmp_path):
    for format in ("ascii", "binary", "compact"):
        plain = written(tmp_path / "plain.rib", format=format)
        packed = written(tmp_path / "packed.rib.gz", format=format, compression="gzip")
        assert packed[:2] == b"\x1f\x8b" and gzip.decompress(packed) == plain
    assert written(tmp_path / "a.rib", format="binary") == written(tmp_path / "b.rib", binary=True)


@pytest.mark.skipif(not BUILD, reason="run by ctest, which names the build folder")
def test_compact_is_what_rib_cat_writes(tmp_path):
    ascii = tmp_path / "scene.rib"
    written(ascii)
    converted = subprocess.run([os.path.join(BUILD, "rib-cat"), "--compact", str(ascii)],
                               capture_output=True, check=True).stdout
    assert written(tmp_path / "compact.rib", format="compact") == converted


def test_unknown_encodings_make_no_file(tmp_path):
    for encoding, message in [
        (dict(format="gzip"), 'format must be "ascii", "binary" or "compact", not "gzip"'),
        (dict(format="ascii", binary=True), 'binary=True and format="ascii" disagree'),
        (dict(compression="zip"), 'compression must be "gzip" or None'),
    ]:
        with pytest.raises(ValueError, match=message):
            rib.Context(tmp_path / "none.rib", **encoding)
    assert not (tmp_path / "none.rib").exists()
