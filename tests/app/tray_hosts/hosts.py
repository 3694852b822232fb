"""The real tray hosts the program is tested beside, each started as a user's session starts
it: its own bar along the top edge holding its tray, under the window manager it comes with.

A host names the programs it needs and the Debian package of each, how to start it with a
configuration of the test's own, how tall its bar is, and what its left click does."""

XFCE_PANEL = """<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray"/>
  </property>
</channel>
"""

# LXQt's default panel holds both its XEmbed tray and its status notifier.
LXQT_PANEL = """[General]
__userfile__=true

[panel1]
alignment=-1
hidable=false
iconSize=22
lineCount=1
panelSize=32
plugins=spacer, tray, statusnotifier
position=Top
width=100
width-percent=true

[spacer]
type=spacer
expandable=true

[statusnotifier]
type=statusnotifier

[tray]
type=tray
"""

TINT2 = """panel_items = S
panel_size = 100% 30
panel_position = top right horizontal
panel_layer = top
strut_policy = follow_size
rounded = 0
border_width = 0
background_color = #202020 100
border_color = #000000 0
panel_background_id = 1
systray_padding = 4 2 4
systray_background_id = 0
systray_icon_size = 24
"""


class Host:
    name = ""
    bar_height = 0
    # What the programs are and which package brings each.
    needs = {}
    window_manager = ["openbox"]
    # A host that never sends Activate opens the item's menu on a left click instead.
    left_click_opens_menu = False

    def command(self, desktop):
        raise NotImplementedError


class XfcePanel(Host):
    name, bar_height = "xfce4_panel", 27
    needs = {"xfce4-panel": "xfce4-panel", "xfwm4": "xfwm4"}
    window_manager = ["xfwm4", "--compositor=off"]
    # Its tray opens the item's menu on a left click where it does not send Activate.
    left_click_opens_menu = True

    def command(self, desktop):
        desktop.config_file("xfce4/xfconf/xfce-perchannel-xml/xfce4-panel.xml", XFCE_PANEL)
        return ["xfce4-panel"]


class LxqtPanel(Host):
    name, bar_height = "lxqt_panel", 32
    needs = {"lxqt-panel": "lxqt-panel", "openbox": "openbox"}

    def command(self, desktop):
        desktop.config_file("lxqt/panel.conf", LXQT_PANEL)
        return ["lxqt-panel"]


class Trayer(Host):
    name, bar_height = "trayer", 24
    needs = {"trayer": "trayer", "openbox": "openbox"}

    def command(self, desktop):
        return ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                "--height", "24"]


class Tint2(Host):
    name, bar_height = "tint2", 30
    needs = {"tint2": "tint2", "openbox": "openbox"}

    def command(self, desktop):
        return ["tint2", "-c", desktop.config_file("tint2/tint2rc", TINT2)]


# What MATE's settings daemon publishes to GTK in every MATE session (its "buttons have icons"
# is on unless the user turns it off). GTK's own default hides a button's image, and the
# notification area draws each item's picture as its button's image: without this the bar
# would show the items' labels and no picture.
MATE_GTK_SETTINGS = """[Settings]
gtk-button-images=true
"""


class MatePanel(Host):
    """MATE's default layout: a top bar with the menus, the notification area and the clock,
    and a bottom bar with the window list. Its applets start through the session bus."""
    name, bar_height = "mate_panel", 25
    needs = {"mate-panel": "mate-panel", "openbox": "openbox"}

    def command(self, desktop):
        desktop.config_file("gtk-3.0/settings.ini", MATE_GTK_SETTINGS)
        return ["mate-panel"]


HOSTS = {host.name: host for host in (XfcePanel(), LxqtPanel(), Trayer(), Tint2(), MatePanel())}
