#!/usr/bin/python3
"""Writes and reads the comparison drawing (100,000 lines, 10,000 texts and
1,000 circles with extended data) with ezdxf and with the drawing layer, in
one run on this machine, and prints the times, the resident memory and the
ratios. Times are processor times of the process, so that other work on the
machine does not tilt the ratios.

    /usr/bin/python3 compare_ezdxf.py BUILD/bin/dwgsdk_database_bench
"""
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

EZDXF_SAVE = r"""
import sys, time, ezdxf
doc = ezdxf.new('R2000')
doc.appids.add('BENCH')
msp = doc.modelspace()
for i in range(100000):
    msp.add_line((i * 0.25, i % 100), (i * 0.25 + 1.5, i % 100 + 2.5))
for i in range(10000):
    msp.add_text('Text %d' % i, dxfattribs={'insert': (i, -10), 'height': 2.5})
for i in range(1000):
    c = msp.add_circle((i * 3.0, -20), 1.25)
    c.set_xdata('BENCH', [(1000, 'circle'), (1070, i % 1000), (1040, i * 0.5)])
start = time.process_time()
doc.saveas(sys.argv[1])
print(time.process_time() - start)
"""

EZDXF_READ = r"""
import sys, time, resource, ezdxf
start = time.process_time()
doc = ezdxf.readfile(sys.argv[1])
elapsed = time.process_time() - start
print(elapsed, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024.0)
"""


def run_python(script, *args):
    out = subprocess.run([sys.executable, '-c', script, *args], check=True, capture_output=True, text=True)
    return [float(v) for v in out.stdout.split()]


def run_bench(binary, name, path, keep):
    env = dict(os.environ, DWGSDK_BENCH_FILE=path)
    if keep:
        env['DWGSDK_BENCH_KEEP'] = '1'
    out = subprocess.run([binary, '--benchmark_filter=BM_%s$' % name, '--benchmark_format=json'], check=True,
                         capture_output=True, text=True, env=env)
    result = json.loads(out.stdout)['benchmarks'][0]
    return result['cpu_time'] / 1000.0, result


def main():
    binary = sys.argv[1] if len(sys.argv) > 1 else 'build/default/bin/dwgsdk_database_bench'
    with tempfile.TemporaryDirectory() as folder:
        theirs = os.path.join(folder, 'ezdxf.dxf')
        ours = os.path.join(folder, 'ours.dxf')
        (ezdxf_save,) = run_python(EZDXF_SAVE, theirs)
        ezdxf_read, ezdxf_rss = run_python(EZDXF_READ, theirs)
        ezdxf_size = os.path.getsize(theirs) / 2**20
        our_write, _ = run_bench(binary, 'WriteDxf', ours, keep=True)
        our_read, read = run_bench(binary, 'ReadDxf', ours, keep=False)
        our_size = os.path.getsize(ours) / 2**20
        our_rss = read['peak_MB']
    print('%-28s %10s %10s' % ('', 'ezdxf', 'ours'))
    print('%-28s %10.1f %10.1f' % ('file (MB)', ezdxf_size, our_size))
    print('%-28s %10.3f %10.4f' % ('write (s, processor)', ezdxf_save, our_write))
    print('%-28s %10.3f %10.4f' % ('read (s, processor)', ezdxf_read, our_read))
    print('%-28s %10.1f %10.1f' % ('peak resident, read (MB)', ezdxf_rss, our_rss))
    print('%-28s %10.1f' % ('write speed ratio', ezdxf_save / our_write))
    print('%-28s %10.1f' % ('read speed ratio', ezdxf_read / our_read))
    print('%-28s %10.2f' % ('our resident / file size', our_rss / our_size))


if __name__ == '__main__':
    main()
