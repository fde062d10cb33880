"""The few X11 calls the monkey needs that xdotool has no command for: the
program's windows in stacking order, focus, and the _NET_WM_PING round trip
that proves the program's event loop still runs. Plain ctypes over libX11."""

import ctypes
import select
import time

_x = ctypes.CDLL("libX11.so.6")

Window = ctypes.c_ulong
Atom = ctypes.c_ulong
_CLIENT_MESSAGE = 33
_STRUCTURE_NOTIFY_MASK = 1 << 17
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
_IS_VIEWABLE = 2
_REVERT_TO_PARENT = 2
_CURRENT_TIME = 0


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", Window), ("message_type", Atom),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _ClientMessage),
                ("pad", ctypes.c_long * 24)]


class _Attributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", Window),
                ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


_x.XOpenDisplay.restype = ctypes.c_void_p
_x.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x.XDefaultRootWindow.restype = Window
_x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x.XInternAtom.restype = Atom
_x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_x.XSelectInput.argtypes = [ctypes.c_void_p, Window, ctypes.c_long]
_x.XSendEvent.argtypes = [ctypes.c_void_p, Window, ctypes.c_int,
                          ctypes.c_long, ctypes.POINTER(_Event)]
_x.XFlush.argtypes = [ctypes.c_void_p]
_x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x.XPending.argtypes = [ctypes.c_void_p]
_x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_Event)]
_x.XConnectionNumber.argtypes = [ctypes.c_void_p]
_x.XQueryTree.argtypes = [ctypes.c_void_p, Window, ctypes.POINTER(Window),
                          ctypes.POINTER(Window),
                          ctypes.POINTER(ctypes.POINTER(Window)),
                          ctypes.POINTER(ctypes.c_uint)]
_x.XFree.argtypes = [ctypes.c_void_p]
_x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, Window,
                                    ctypes.POINTER(_Attributes)]
_x.XGetWindowProperty.argtypes = [
    ctypes.c_void_p, Window, Atom, ctypes.c_long, ctypes.c_long, ctypes.c_int,
    Atom, ctypes.POINTER(Atom), ctypes.POINTER(ctypes.c_int),
    ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
    ctypes.POINTER(ctypes.c_void_p)]
_x.XSetInputFocus.argtypes = [ctypes.c_void_p, Window, ctypes.c_int,
                              ctypes.c_ulong]

# Windows come and go between two calls: an X error must not end the monkey.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p,
                                  ctypes.c_void_p)(lambda display, error: 0)
_x.XSetErrorHandler(_ERROR_HANDLER)


class AppWindow:
    def __init__(self, wid, title, width, height, popup):
        self.id, self.title = wid, title
        self.width, self.height, self.popup = width, height, popup


class Display:
    def __init__(self, name):
        self._d = _x.XOpenDisplay(name.encode())
        if not self._d:
            raise RuntimeError("cannot open display " + name)
        self._root = _x.XDefaultRootWindow(self._d)
        self._atoms = {}
        self._token = 0
        # The program answers a ping by sending it on to the root window, for
        # those who listen there to the structure of the root or of its children.
        _x.XSelectInput(self._d, self._root,
                        _STRUCTURE_NOTIFY_MASK | _SUBSTRUCTURE_NOTIFY_MASK)
        _x.XFlush(self._d)

    def _atom(self, name):
        if name not in self._atoms:
            self._atoms[name] = _x.XInternAtom(self._d, name.encode(), 0)
        return self._atoms[name]

    def _property(self, wid, name, kind):
        actual, fmt = Atom(), ctypes.c_int()
        count, after, data = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p()
        if _x.XGetWindowProperty(self._d, wid, self._atom(name), 0, 1024, 0,
                                 kind, ctypes.byref(actual), ctypes.byref(fmt),
                                 ctypes.byref(count), ctypes.byref(after),
                                 ctypes.byref(data)) != 0 or not data.value:
            return None
        try:
            if fmt.value == 32:
                return list(ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[:count.value])
            return ctypes.string_at(data, count.value)
        finally:
            _x.XFree(data)

    def windows_of(self, pid):
        """The viewable windows of the process, bottom to top."""
        root, parent = Window(), Window()
        children, count = ctypes.POINTER(Window)(), ctypes.c_uint()
        if not _x.XQueryTree(self._d, self._root, ctypes.byref(root),
                             ctypes.byref(parent), ctypes.byref(children),
                             ctypes.byref(count)):
            return []
        ids = [children[i] for i in range(count.value)]
        if children:
            _x.XFree(children)
        found = []
        for wid in ids:
            attributes = _Attributes()
            if not _x.XGetWindowAttributes(self._d, wid, ctypes.byref(attributes)):
                continue
            if attributes.map_state != _IS_VIEWABLE:
                continue
            owner = self._property(wid, "_NET_WM_PID", 6)  # XA_CARDINAL
            if not owner or owner[0] != pid:
                continue
            name = self._property(wid, "_NET_WM_NAME", self._atom("UTF8_STRING"))
            title = name.decode("utf-8", "replace") if name else ""
            found.append(AppWindow(wid, title, attributes.width,
                                   attributes.height,
                                   bool(attributes.override_redirect)))
        return found

    def focus(self, wid):
        _x.XSetInputFocus(self._d, wid, _REVERT_TO_PARENT, _CURRENT_TIME)
        _x.XSync(self._d, 0)

    def ping(self, wid, limit):
        """Seconds the window's program took to answer a _NET_WM_PING, or
        None when it did not answer within limit seconds."""
        self._token += 1
        event = _Event()
        message = event.xclient
        message.type = _CLIENT_MESSAGE
        message.window = wid
        message.message_type = self._atom("WM_PROTOCOLS")
        message.format = 32
        message.data[0] = self._atom("_NET_WM_PING")
        message.data[1] = self._token
        message.data[2] = wid
        start = time.monotonic()
        _x.XSendEvent(self._d, wid, 0, 0, ctypes.byref(event))
        _x.XFlush(self._d)
        while True:
            while _x.XPending(self._d):
                reply = _Event()
                _x.XNextEvent(self._d, ctypes.byref(reply))
                if (reply.type == _CLIENT_MESSAGE
                        and reply.xclient.data[0] == message.data[0]
                        and reply.xclient.data[1] == self._token):
                    return time.monotonic() - start
            left = limit - (time.monotonic() - start)
            if left <= 0:
                return None
            select.select([_x.XConnectionNumber(self._d)], [], [], left)
