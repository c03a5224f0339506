"""setup.ini, the host name and the data service name dialog, driven as a person would."""


def open_dialog(lab, start):
    """Starts a run without a host name: it waits in the dialog."""
    lab.set_host_name(None)
    return start.start()


def drive(lab, *args):
    return lab.tool("dialog_driver", *args)


def test_the_dialog_shows_the_stored_name_with_the_focus_in_the_field(lab):
    start = lab.start_directory("dialog-shows")
    start.write_ini("[database]\nservername=SRV7\n")
    run = open_dialog(lab, start)
    assert drive(lab, "inspect") == "field: [SRV7]\nfocus: field\n"
    drive(lab, "close")
    assert run.wait(timeout=20) == 0


def test_the_button_stores_the_trimmed_name_and_the_run_uses_it(lab):
    start = lab.start_directory("dialog-stores")
    run = open_dialog(lab, start)
    drive(lab, "set", "  数据服务一  ")
    assert run.wait(timeout=20) == 0
    assert "servername=数据服务一\r\n" in start.ini_text()
    assert " -n 数据服务一 -x tcpip{port=3362} " in start.standin_launches()[0]


def test_a_pasted_line_break_adds_no_key_or_section(lab):
    start = lab.start_directory("dialog-lines")
    run = open_dialog(lab, start)
    drive(lab, "set", "SRV1\r\n[evil]\r\nport=1")
    assert run.wait(timeout=20) == 0
    text = start.ini_text()
    assert "servername=SRV1\r\n" in text
    assert "[evil]" not in text and "port=" not in text


def test_closing_from_the_title_bar_writes_nothing_and_the_database_names_the_server(lab):
    start = lab.start_directory("dialog-closed")
    run = open_dialog(lab, start)
    drive(lab, "close")
    assert run.wait(timeout=20) == 0
    assert "servername" not in start.ini_text()
    assert " -n qzdb -x tcpip{port=3362} " in start.standin_launches()[0]


def test_an_empty_field_stores_an_empty_name(lab):
    start = lab.start_directory("dialog-empty")
    start.write_ini("[database]\nservername=OLD\n")
    run = open_dialog(lab, start)
    drive(lab, "set", "")
    assert run.wait(timeout=20) == 0
    assert "servername=\r\n" in start.ini_text()


def test_a_long_value_is_read_whole(lab):
    start = lab.start_directory("long-value")
    name = "S" * 4500
    start.write_ini(f"[database]\nservername={name}\n")
    run = open_dialog(lab, start)
    assert drive(lab, "inspect") == f"field: [{name}]\nfocus: field\n"
    drive(lab, "close")
    assert run.wait(timeout=20) == 0
    assert f" -n {name} -x " in start.standin_launches()[0]


def test_comments_and_other_sections_survive_the_writes(lab):
    lab.set_host_name("SRV1")
    start = lab.start_directory("keeps-comments")
    start.write_ini("; written by the client\n[client]\nuser=张三\n\n[database]\n; the port\nport=4000\nextra=1\n")
    assert start.run() == 0
    text = start.ini_text()
    for kept in ("; written by the client", "[client]", "user=张三", "; the port", "port=4000", "extra=1"):
        assert kept in text
    assert "apppath=C:\\e2e\\keeps-comments" in text and "setup=1" in text and "servername=SRV1" in text
    assert "tcpip{port=4000}" in start.standin_launches()[0]


def test_the_host_name_comes_from_the_registry(lab):
    lab.set_host_name("主机-7")
    start = lab.start_directory("host-name")
    assert start.run() == 0
    assert "servername=主机-7" in start.ini_text()


def test_a_host_name_of_another_type_counts_as_missing(lab):
    lab.set_host_name("1234", kind="REG_DWORD")
    start = lab.start_directory("host-dword")
    run = start.start()
    assert drive(lab, "inspect").startswith("field: []")
    drive(lab, "close")
    assert run.wait(timeout=20) == 0
