#!/usr/bin/env python3
"""The Linux side of the Windows tests' rigs (wine_helper.h): Wine starts a Linux
program, but can neither wait for it nor end it, nor make a terminal.

wine_helper.py CONTROL_PORT serve PORT LOG COMMAND...  runs COMMAND; answers "ready"
  once 127.0.0.1:PORT accepts, or "exited" (within 10 s).
wine_helper.py CONTROL_PORT pty  links a pseudo-terminal's slave as COM<40+n> of the
  prefix, answers that name, and plays the device on its master (requests below).
It undoes its work when the test closes the connection or dies, after 300 s at most.
"""
import fcntl, glob, os, pty, select, signal, socket, subprocess, sys, termios, threading, time, tty

DOSDEVICES = os.path.join(os.environ.get("WINEPREFIX") or os.path.expanduser("~/.wine"), "dosdevices")
links = []


def serve(control, port, log, *command):
    def accepts():
        try: return socket.create_connection(("127.0.0.1", int(port)), timeout=0.5).close() or True
        except OSError: return False
    with open(log, "ab") as out:
        server = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=out)
    try:
        deadline = time.monotonic() + 10
        while server.poll() is None and not accepts() and time.monotonic() < deadline: time.sleep(0.02)
        control.sendall(b"ready\n" if server.poll() is None and accepts() else b"exited\n")
        control.recv(1)
    finally:
        server.kill()
        server.wait()


def settings(fd):
    t = termios
    iflag, oflag, cflag, lflag, ispeed, ospeed, cc = t.tcgetattr(fd)
    speeds = {getattr(t, "B%d" % b): b for b in (9600, 19200, 38400, 57600, 115200)}
    cooked = (lflag & (t.ICANON | t.ECHO | t.ISIG | t.IEXTEN) or oflag & t.OPOST or
              iflag & (t.ICRNL | t.INLCR | t.IGNCR | t.ISTRIP | t.IXON | t.IXOFF))
    return "speed=%s ispeed=%s bits=%d parity=%s stop=%d crtscts=%d cooked=%d" % (
        speeds.get(ospeed, ospeed), speeds.get(ispeed, ispeed), 5 + (cflag & t.CSIZE) // t.CS6,
        "N" if not cflag & t.PARENB else "O" if cflag & t.PARODD else "E",
        2 if cflag & t.CSTOPB else 1, bool(cflag & t.CRTSCTS), bool(cooked))


def link(name, target):
    path = os.path.join(DOSDEVICES, name.lower())
    if os.path.lexists(path): os.unlink(path)
    os.symlink(target, path)
    links.append((path, target))
    return name


def serial(control):
    # The slave stays open here too, so that the line never hangs up between the port's opens.
    master, slave = pty.openpty()
    tty.setraw(master)
    # The terminal is this helper's own, or else the first to open it without O_NOCTTY (the
    # wineserver) would take it and be hung up with it.
    os.setsid()
    fcntl.ioctl(slave, termios.TIOCSCTTY, 0)
    number = int(os.ttyname(slave).rsplit("/", 1)[1])
    control.sendall((link("COM%d" % (40 + number), os.ttyname(slave)) + "\n").encode())
    timers = []
    for request in control.makefile("r"):
        word, *args = request.split() + [""]
        reply = "ok"
        if word == "send":  # send MS HEX: the device sends bytes MS milliseconds from now
            timers.append(threading.Timer(int(args[0]) / 1000, os.write, (master, bytes.fromhex(args[1]))))
            timers[-1].daemon = True
            timers[-1].start()
        elif word == "sent":  # once all is sent
            for timer in timers: timer.join()
        elif word == "read":  # read N: what the port sent, up to N bytes or 5 s of quiet, as hex
            got = b""
            while len(got) < int(args[0]) and select.select([master], [], [], 5)[0]: got += os.read(master, 4096)
            reply = got.hex()
        elif word == "settings": reply = settings(slave)
        elif word == "hangup": os.close(master)  # as if the device were unplugged
        # A port the system refuses to open for writing, even to root.
        elif word == "denied": reply = link("COM%d" % (1000 + number), "/proc/sys/kernel/ostype")
        control.sendall((reply + "\n").encode())


signal.signal(signal.SIGALRM, lambda *_: sys.exit(1))
signal.signal(signal.SIGHUP, signal.SIG_IGN)
signal.alarm(300)
# Wine links COM1.. to the machine's own serial devices at every start: none may be touched.
for path in glob.glob(os.path.join(DOSDEVICES, "com*")):
    target = os.readlink(path) if os.path.islink(path) else ""
    if target.startswith("/dev/") and not target.startswith("/dev/pts/"): os.unlink(path)
control = socket.create_connection(("127.0.0.1", int(sys.argv[1])))
try:
    if sys.argv[2] == "serve": serve(control, *sys.argv[3:])
    else: serial(control)
except OSError:
    pass  # the test is gone
finally:
    for path, target in links:
        if os.path.islink(path) and os.readlink(path) == target: os.unlink(path)
    control.close()
