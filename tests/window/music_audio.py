"""Hears what the game plays, on a machine without a sound card.

The game's ALSA output is sent to a WAV file instead: an extra ALSA configuration
makes the default PCM a plug (Allegro writes unsigned 16-bit samples, which the
plug converts to signed) feeding a "file" PCM whose own output goes to "null".
The null device does not keep real time with Allegro's default fragment size, so
a test-only allegro.cfg, found through a temporary HOME, asks for small fragments.
The game keeps appending to the file while it runs; a level is measured over the
bytes written between two moments.
"""

import array
import math
import os
import shutil
import struct
import sys
import tempfile

ALSA_CONFIG = """\
pcm.!default {{
    type plug
    slave {{
        pcm "music_test_wav"
        format S16_LE
    }}
}}
pcm.music_test_wav {{
    type file
    slave.pcm "null"
    file "{wav}"
    format "wav"
}}
# No sound card here: pointing these at card 0 keeps alsa-lib from complaining.
ctl.!default {{ type hw; card 0 }}
rawmidi.!default {{ type hw; card 0 }}
"""

ALLEGRO_CONFIG = """\
[sound]
alsa_fragsize = 441
"""

SYSTEM_ALSA_CONFIG = "/usr/share/alsa/alsa.conf"

# Quieter than this is silence: the tunes play around -15 dBFS, and an idle mixer
# writes exact zeros.
SILENCE_DB = -60.0


class AudioCapture:
    """A temporary place for the WAV file and the two configurations; env holds
    the variables to run the game with."""

    def __init__(self):
        self.dir = tempfile.mkdtemp(prefix="zudaduviz-music-")
        self.home = os.path.join(self.dir, "home")
        os.makedirs(self.home)
        self.wav = os.path.join(self.dir, "out.wav")
        with open(os.path.join(self.home, "allegro.cfg"), "w") as f:
            f.write(ALLEGRO_CONFIG)
        alsa = os.path.join(self.dir, "alsa.conf")
        with open(alsa, "w") as f:
            f.write(ALSA_CONFIG.format(wav=self.wav))
        self.env = {"HOME": self.home, "ALSA_CONFIG_PATH": SYSTEM_ALSA_CONFIG + ":" + alsa}

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)

    def position(self):
        """Bytes written so far (0 before the game opens its sound output)."""
        try:
            return os.path.getsize(self.wav)
        except OSError:
            return 0

    def format(self):
        """(channels, sample rate, bits per sample, offset of the samples)."""
        with open(self.wav, "rb") as f:
            head = f.read(4096)
        if head[:4] != b"RIFF" or head[8:12] != b"WAVE":
            raise AssertionError(f"{self.wav} is not a WAV file")
        pos = 12
        fmt = None
        while pos + 8 <= len(head):
            kind, size = head[pos:pos + 4], struct.unpack_from("<I", head, pos + 4)[0]
            if kind == b"fmt ":
                _, channels, rate, _, _, bits = struct.unpack_from("<HHIIHH", head, pos + 8)
                fmt = (channels, rate, bits)
            elif kind == b"data":
                if fmt is None:
                    break
                return fmt + (pos + 8,)
            pos += 8 + size
        raise AssertionError(f"{self.wav}: no fmt and data chunks in its header")

    def seconds(self, start, end):
        channels, rate, bits, _ = self.format()
        return (end - start) / (channels * rate * bits // 8)

    def samples(self, start, end):
        """The samples of the first channel written between byte positions start and end."""
        channels, _, bits, data_offset = self.format()
        if bits != 16:
            raise AssertionError(f"expected 16-bit samples, the WAV has {bits}")
        frame = channels * 2
        # Whole frames only, so that the channels are not mixed up.
        start = max(start, data_offset)
        misaligned = (start - data_offset) % frame
        if misaligned:
            start += frame - misaligned
        end -= (end - data_offset) % frame
        if end <= start:
            raise AssertionError(f"no samples between bytes {start} and {end}")
        with open(self.wav, "rb") as f:
            f.seek(start)
            raw = f.read(end - start)
        samples = array.array("h")
        samples.frombytes(raw)
        if sys.byteorder != "little":
            samples.byteswap()
        return samples[0::channels]

    def level(self, start, end):
        """RMS level in dBFS of what was written between byte positions start and
        end (-inf for pure silence)."""
        samples = self.samples(start, end)
        square_sum = sum(s * s for s in samples)
        if square_sum == 0:
            return float("-inf")
        return 10 * math.log10(square_sum / len(samples) / (32768.0 * 32768.0))

    def brightness(self, start, end):
        """How much of the sound lies in the high frequencies: the level of the
        sample-to-sample steps relative to the level of the samples, in dB. Drums
        and a square wave score well above a flute and a harp."""
        samples = self.samples(start, end)
        square_sum = sum(s * s for s in samples)
        step_sum = sum((b - a) * (b - a) for a, b in zip(samples, samples[1:]))
        if square_sum == 0 or step_sum == 0:
            return float("-inf")
        return 10 * math.log10(step_sum / square_sum)
